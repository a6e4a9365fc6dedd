#version 120
// The scene's numbers that the tile classifier (SceneTiles) relies on as well as the shaders. Part
// of every scene stage; the classifier compiles this file as C++ (SceneFormulas.h), so every line
// below must stay both GLSL and C++: constants of float, int and vec3 only.
//
// World frame: y up, floor at y = 0.

const float PI = 3.14159;

// The fixed camera's eye; it looks at the origin.
const vec3 EYE = vec3(2.91, 1.57, 5.17);

// The spheres (paths in scene_spheres): none before SPHERES_APPEAR seconds, then growing to their
// full radius.
const int SPHERE_COUNT = 9;
const float SPHERES_APPEAR = 5.;
const float SPHERE_RADIUS = .35;

// Sunlight: none until SUNLIGHT_START seconds, then rising to full strength over 10 s.
const float SUNLIGHT_START = 6.;

// The wall of letters: the plane x = WALL_X facing +x; a letter is solid only within the band of
// heights LETTER_BAND_CENTRE plus or minus LETTER_BAND_HALF.
const float WALL_X = -5.;
const float LETTER_BAND_CENTRE = 1.;
const float LETTER_BAND_HALF = .5;

// The logo: dissolves in from LOGO_START seconds over LOGO_DISSOLVE_SECONDS, over the screen area
// where |v.x| is below LOGO_HALF_WIDTH and uv.y above LOGO_BOTTOM (v the quad position,
// uv = v * .5 + .5).
const float LOGO_START = 14.2;
const float LOGO_DISSOLVE_SECONDS = 2.;
const float LOGO_HALF_WIDTH = .8;
const float LOGO_BOTTOM = .64;

#version 120
// The fixed camera's rays and the logo's area of the screen. Fragment stage; the tile classifier compiles this file as C++ (SceneFormulas.h) to know what each pixel's ray
// can meet, so it keeps to what both languages read alike: functions that return their result,
// .x .y .z only, and of vector arithmetic only +, * by a scalar and mat3 * vec3.
//
// Screen positions are the quad position v: (-1, -1) bottom-left to (1, 1) top-right.

// Columns: right (toward the viewer's left here), up, forward (from the target to the eye).
mat3 lookAtBasis(vec3 forward, vec3 up) {
    vec3 f = normalize(forward);
    vec3 r = normalize(cross(f, normalize(up)));
    return mat3(r, cross(r, f), f);
}

// The camera looks at the origin.
mat3 cameraBasis() {
    return lookAtBasis(normalize(EYE), vec3(0., 1., 0.));
}

// Where the ray through `screen` on a target of the given aspect meets the image plane, in the
// camera's frame; x negated because the basis's first column points to the viewer's left.
vec3 imagePoint(vec2 screen, float aspect) {
    return vec3(-aspect * screen.x, screen.y, -1.5);
}

// Added to every ray turned into the world, which tilts the view upward.
const vec3 RAY_LIFT = vec3(0., .2, 0.);

// The unit direction of the camera ray through `screen`; the ray starts at EYE.
vec3 cameraRay(vec2 screen, float aspect) {
    vec3 D = normalize(imagePoint(screen, aspect));
    D = cameraBasis() * D;
    return normalize(D + RAY_LIFT);
}

// Where the logo's texture is read for `screen` on a target of the given aspect: its width 3.15657
// times its height at any aspect; no clamping, the texture repeats.
vec2 logoCoordinate(vec2 screen, float aspect) {
    return vec2(screen.x / (3.15657 / aspect) * 1.2 + .5, screen.y * 1.2 - .2);
}

// The logo covers `screen`: where |x| is below LOGO_HALF_WIDTH and uv.y = y * .5 + .5 above
// LOGO_BOTTOM.
bool inLogoArea(vec2 screen) {
    return abs(screen.x) < LOGO_HALF_WIDTH && screen.y * .5 + .5 > LOGO_BOTTOM;
}

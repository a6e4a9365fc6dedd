#version 120
// Everything in the scene that depends on time alone, computed once per vertex instead of once
// per pixel: the sun, the sky's normalising terms, the sky away from the sun, the logo's tint and
// the nine animated spheres. Second part of the scene vertex stage, after scene_sky_model; the
// entry point (scene.vert) calls setUpFrame().
//
// Inputs:
//   gl_Vertex                 clip-space corner of the full-screen quad, -1..1
//   uniform float time        seconds since the frame loop started
//   uniform sampler2D fbm     unit 1: 256 x 256 luminance noise that tiles, mipmapped, repeat;
//                             read here at its base level (texture reads in the vertex stage)
// Outputs (every vertex writes the same value, so each reaches every fragment unchanged):
//   varying vec2 v                    quad position, (-1, -1) bottom-left to (1, 1) top-right
//   varying vec4 frameSpheres[9]      sphere centres in xyz, radius in w
//   varying vec3 frameSun             unit vector toward the sun
//   varying vec3 frameSkyNormaliser   skyNormaliser() of the sun's zenith angle
//   varying vec3 frameSkyAway         linear sky toward the horizon away from the sun
//   varying vec3 frameLogoTint        the logo's tint, the sky toward (1, .1, 0) scaled to 1.5

uniform float time;
uniform sampler2D fbm;

const int SPHERE_COUNT = 9;

varying vec2 v;
varying vec4 frameSpheres[SPHERE_COUNT];
varying vec3 frameSun;
varying vec3 frameSkyNormaliser;
varying vec3 frameSkyAway;
varying vec3 frameLogoTint;

float hourOfDay;

// Sphere k at the current time: four formations blended in turn, a 36 s cycle of 2 s changes.
vec4 animatedSphere(int k) {
    float fk = float(k);
    float g = fk / float(SPHERE_COUNT);
    float radius = clamp((time - 5.) * .1, 0., .35);
    vec3 ring = vec3(cos(g * PI * 2. + time * 2.) * 2.5, .85 + .5 * cos(time * 3. + g * PI * 2.),
                     sin(g * PI * 2. + time * 2.) * 2.5);
    vec3 xRow = vec3((g * 2. - 1.) * 3.5, 1.05 + .7 * cos(time * 5. + g * PI * 2.), 0.);
    vec3 grid = vec3(mod(fk, 3.) * 2. - 1. - .5,
                     .3 + abs(cos(floor(fk / 3.) * 2. + mod(fk, 3.) + time * 4.)),
                     floor(fk / 3.) * 2. - 1.5);
    // g * PI, not g * PI * 2.: the hops run once along the row.
    vec3 zRow = vec3(0., pow(abs(sin(-time * 3. + g * PI)), 6.) * 1.5 + .35, (g * 2. - 1.) * 4.);
    float phase = mod(time * .5 - 3., 18.);
    vec3 centre = ring;
    centre = mix(centre, xRow, smoothstep(0., 1., phase - 4.));
    centre = mix(centre, grid, smoothstep(0., 1., phase - 8.));
    centre = mix(centre, zRow, smoothstep(0., 1., phase - 12.));
    centre = mix(centre, ring, smoothstep(0., 1., phase - 16.));
    return vec4(centre, radius);
}

// The fragment stage's skyColor() for a direction that is the same at every pixel; such a read
// has no screen-space derivative there either, so the base level a vertex stage reads matches it.
vec3 frameSkyColor(vec3 R) {
    R.y = max(R.y, .0001);
    vec2 p = cloudPlane(R);
    return skyRadiance(R, frameSun, frameSkyNormaliser,
                       texture2D(fbm, p - vec2(0., time * .03)).r,
                       texture2D(fbm, p - vec2(0., time * .006)).r);
}

void setUpFrame() {
    gl_Position = gl_Vertex;
    v = gl_Vertex.xy;
    hourOfDay = 10. - abs(cos(time * .025)) * 5.;
    for (int k = 0; k < SPHERE_COUNT; k++)
        frameSpheres[k] = animatedSphere(k);
    float thetaS = sunZenith(hourOfDay, frameSun);
    frameSkyNormaliser = skyNormaliser(thetaS);
    // Horizontal, away from the sun: the ambient light's second sky sample.
    frameSkyAway = frameSkyColor(normalize(vec3(-frameSun.x, 0., -frameSun.z)));
    // Passed without normalising, as the picture was made with it.
    frameLogoTint = normalize(frameSkyColor(vec3(1., .1, 0.))) * 1.5;
}

#version 120
// The nine spheres' paths. Part of the stage that computes the frame's values (scene_frame); the
// tile classifier compiles this file as C++ (SceneFormulas.h) to know where the spheres are, so
// it keeps to what both languages read alike: scalar float maths, vec3 and vec4 constructors,
// mix, smoothstep, clamp, mod, and no swizzles or vector arithmetic.

// Sphere k at `seconds`: centre in xyz, radius in w. Four formations blended in turn, a 36 s cycle
// of 2 s changes.
vec4 animatedSphere(int k, float seconds) {
    float fk = float(k);
    float g = fk / float(SPHERE_COUNT);
    float radius = clamp((seconds - SPHERES_APPEAR) * .1, 0., SPHERE_RADIUS);
    vec3 ring = vec3(cos(g * PI * 2. + seconds * 2.) * 2.5,
                     .85 + .5 * cos(seconds * 3. + g * PI * 2.),
                     sin(g * PI * 2. + seconds * 2.) * 2.5);
    vec3 xRow = vec3((g * 2. - 1.) * 3.5, 1.05 + .7 * cos(seconds * 5. + g * PI * 2.), 0.);
    vec3 grid = vec3(mod(fk, 3.) * 2. - 1. - .5,
                     .3 + abs(cos(floor(fk / 3.) * 2. + mod(fk, 3.) + seconds * 4.)),
                     floor(fk / 3.) * 2. - 1.5);
    // g * PI, not g * PI * 2.: the hops run once along the row.
    vec3 zRow =
        vec3(0., pow(abs(sin(-seconds * 3. + g * PI)), 6.) * 1.5 + .35, (g * 2. - 1.) * 4.);
    float phase = mod(seconds * .5 - 3., 18.);
    vec3 centre = ring;
    centre = mix(centre, xRow, smoothstep(0., 1., phase - 4.));
    centre = mix(centre, grid, smoothstep(0., 1., phase - 8.));
    centre = mix(centre, zRow, smoothstep(0., 1., phase - 12.));
    centre = mix(centre, ring, smoothstep(0., 1., phase - 16.));
    return vec4(centre, radius);
}

#version 120
// Everything in the scene that depends on time alone: the sun, the sky's normalising terms, the sky
// away from the sun, the logo's tint and the nine animated spheres. The scene program's vertex
// stage computes it once per vertex (scene.vert), the plain program once per pixel
// (plain/scene_plain.frag).
//
// Inputs: time and fbm (scene_inputs), the sun's course (scene_sun); fbm is read at its base
// level, since every read here has the same coordinates at every vertex and pixel of a frame (no
// screen-space derivative).
// Output: computeFrame() writes the frame's values of scene_inputs.

// The sky of scene_sky for a direction that is the same at every pixel.
vec3 frameSkyColor(vec3 R) {
    return cloudySky(R, frameSun, frameSkyNormaliser, fbm, time);
}

void computeFrame() {
    for (int k = 0; k < SPHERE_COUNT; k++)
        frameSpheres[k] = animatedSphere(k, time);
    vec4 sun = sunAt(hourOfDay(time));
    frameSun = sun.xyz;
    frameSkyNormaliser = skyNormaliser(sun.w);
    // Horizontal, away from the sun: the ambient light's second sky sample.
    frameSkyAway = frameSkyColor(normalize(vec3(-frameSun.x, 0., -frameSun.z)));
    // Passed without normalising, as the picture was made with it.
    frameLogoTint = normalize(frameSkyColor(vec3(1., .1, 0.))) * 1.5;
}

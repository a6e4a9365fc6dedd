#version 120
// Entry point of the plain scene program's fragment stage: the scene program's fragment stage,
// with the frame's values computed here in every fragment instead of in the vertex stage. Last
// part, after scene_constants, scene_sky_model, scene_plain_frame, scene_inputs, scene_spheres,
// scene_frame, scene_geometry, scene_sky and scene_shading.
//
// Inputs: time (scene_inputs); v from the pass-through vertex stage; everything else through
// computeFrame() and pictureColour().
// Output: gl_FragColor, gamma-encoded colour, alpha always 1.

void main() {
    computeFrame();
    readFrame();
    gl_FragColor = vec4(pictureColour() * smoothstep(0., 1., time * .25), 1.);
}

#version 120
// Entry point of the plain scene program's fragment stage: the scene program's fragment stage,
// with the frame's values computed here in every fragment instead of in the vertex stage.
//
// Inputs: time (scene_inputs); v from the pass-through vertex stage; everything else through
// computeFrame() and pictureColour().
// Output: gl_FragColor, gamma-encoded colour, alpha always 1.

void main() {
    computeFrame();
    readFrame();
    gl_FragColor = vec4(pictureColour() * smoothstep(0., 1., time * .25), 1.);
}

#version 120
// Entry point of the scene fragment program: ray-traces the animated scene for this pixel and
// fades the picture in from black over the first 4 s, the frame's values from the vertex stage.
//
// Inputs: time (scene_inputs); the frame's varyings through readFrame(); everything else through
// pictureColour().
// Output: gl_FragColor, gamma-encoded colour, alpha always 1; with LOGO_LAYER, the logo's texel
// instead, for the layer that LOGO_FROM_LAYER programs read (scene_shading).

void main() {
#if defined(LOGO_LAYER)
    gl_FragColor = logoTexel(resolution.x / resolution.y);
#else
    readFrame();
    gl_FragColor = vec4(pictureColour() * smoothstep(0., 1., time * .25), 1.);
#endif
}

#version 120
// Entry point of the scene fragment program: ray-traces the animated scene for this pixel and
// fades the picture in from black over the first 4 s. Last part, after scene_geometry_plain,
// scene_sky_plain and scene_shading_plain.
//
// Inputs: uniform float time (scene_geometry_plain); everything else through pictureColour().
// Output: gl_FragColor, gamma-encoded colour, alpha always 1.

void main() {
    setUpFrame();
    gl_FragColor = vec4(pictureColour() * smoothstep(0., 1., time * .25), 1.);
}

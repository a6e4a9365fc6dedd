#version 120
// The browser's final draw: the finished frame stretched over the whole canvas, which the
// desktop does with the fixed-function pipeline (the texture's colour, unchanged, bilinear).
// In:  varying v (quad position from passthrough.vert.glsl, -1..1).
// Uniforms: frame (sampler2D, unit 0: the post pass's colour texture, RGBA8, bilinear, clamp).
// Out: gl_FragColor.

varying vec2 v;
uniform sampler2D frame;

void main() {
    gl_FragColor = texture2D(frame, v * .5 + .5);
}

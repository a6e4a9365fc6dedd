#version 120
// The final draw: the finished frame stretched over the whole window or canvas (the texture's
// colour, unchanged, bilinear). Faster on llvmpipe than the fixed-function pipeline's texturing,
// and the same source for the desktop and the browser. The anti-aliasing pass copies the sky with
// it too, through a nearest sampler, at the target's own size, and the desktop draws each mipmap
// level with it from the level above (gl/MipmapChain.h).
// In:  varying uv (texture coordinate from stretch.vert.glsl, 0..1).
// Uniforms: frame (sampler2D, unit 0: the post pass's colour texture, RGBA8, bilinear, clamp; for
//           the copy, unit 1: the scene's, nearest; for a mipmap level, unit 0: the level above).
// Out: gl_FragColor.

varying vec2 uv;
uniform sampler2D frame;

void main() {
    gl_FragColor = texture2D(frame, uv);
}

#version 300 es
// Prelude that lets a GLSL 1.20 fragment stage compile as GLSL ES 3.00 (WebGL 2). The stage's own
// #version line is removed and this goes first.
// Out: tw_FragColor (draw buffer 0), written where the stage writes gl_FragColor.
precision highp float;
precision highp int;
out vec4 tw_FragColor;
#define gl_FragColor tw_FragColor
#define varying in
#define texture2D texture
// One-dimensional textures are one-texel-high 2D textures on this side.
#define sampler1D sampler2D
#define texture1D(s, u) texture(s, vec2(u, .5))

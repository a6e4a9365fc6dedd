#version 300 es
// Prelude that lets a GLSL 1.20 vertex stage compile as GLSL ES 3.00 (WebGL 2). The stage's own
// #version line is removed and this goes first; its uniform initialisers are dropped, since ES
// has none (the only one, in the FXAA vertex stage, feeds a varying nothing reads).
// In: tw_Vertex (attribute 0, the quad corner), tw_MultiTexCoord0 (attribute 1), as the
// fixed-function gl_Vertex and gl_MultiTexCoord0 were.
precision highp float;
precision highp int;
layout(location = 0) in vec4 tw_Vertex;
layout(location = 1) in vec4 tw_MultiTexCoord0;
out vec4 tw_TexCoord[1];
#define gl_Vertex tw_Vertex
#define gl_MultiTexCoord0 tw_MultiTexCoord0
#define gl_TexCoord tw_TexCoord
#define varying out
#define attribute in
#define texture2D texture
// One-dimensional textures are one-texel-high 2D textures on this side.
#define sampler1D sampler2D
#define texture1D(s, u) texture(s, vec2(u, .5))

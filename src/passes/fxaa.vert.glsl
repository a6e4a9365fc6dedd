#version 120
// Vertex stage of the anti-aliasing pass, drawn over the full-screen quad.
//
// In:  gl_Vertex (clip-space corner, -1..1), gl_MultiTexCoord0 (0..1, (0,0) lower-left).
// Out: gl_Position (the corner unchanged), gl_TexCoord[0] (set 0 copied),
//      posPos (texcoord, and texcoord half a texel down-left of it).
// Uniforms: rt_w, rt_h (target size; the host never sets them, so they keep 1280 x 720).
// The fragment stage reads neither posPos nor the texture coordinate: it addresses the source
// from gl_FragCoord alone.

varying vec4 posPos;          // part of the shader's fixed layout; the fragment stage ignores it
uniform float rt_w = 1280.0;  // part of the shader's fixed layout, as is rt_h; never set
uniform float rt_h = 720.0;

void main() {
    gl_Position = gl_Vertex;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    posPos.xy = gl_MultiTexCoord0.xy;
    posPos.zw = gl_MultiTexCoord0.xy - vec2(0.5 / rt_w, 0.5 / rt_h);
}

#version 120
// Vertex stage of the final draw (stretch.frag.glsl): the full-screen quad's corner unchanged and
// the frame's texture coordinate at it, so that the fragment stage samples an interpolated
// coordinate as it is, which llvmpipe draws on its fast path for plain texture copies.
//
// In:  gl_Vertex (clip-space corner of the full-screen quad, -1..1).
// Out: gl_Position, uv (texture coordinate: (0, 0) at the bottom-left, (1, 1) at the top-right).

varying vec2 uv;

void main() {
    gl_Position = gl_Vertex;
    uv = gl_Vertex.xy * .5 + .5;
}

#version 120
// Pass-through vertex stage shared by the full-screen passes.
//
// In:  gl_Vertex (clip-space corner of the full-screen quad, -1..1).
// Out: gl_Position (the corner unchanged), v (its x and y: (-1,-1) at the bottom-left of the
//      target, (1,1) at the top-right, whatever the target's size).

varying vec2 v;

void main() {
    gl_Position = gl_Vertex;
    v = gl_Vertex.xy;
}

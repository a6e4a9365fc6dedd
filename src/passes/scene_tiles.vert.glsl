#version 120
// Vertex stage of the tile-marking draw (scene_tiles.frag): the full-screen quad's corner
// unchanged. The marker's own, so that it builds or fails with the scene pass alone.
//
// In:  gl_Vertex (clip-space corner of the full-screen quad, -1..1).
// Out: gl_Position.

void main() {
    gl_Position = gl_Vertex;
}

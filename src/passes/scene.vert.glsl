#version 120
// Entry point of the scene vertex stage: the full-screen quad's corner at the depth of the tiles
// this draw covers, and the frame's values, the same for every pixel.
//
// In:  gl_Vertex (clip-space corner of the full-screen quad, -1..1), uniform float tileDepth
//      (window depth, 0..1, that the tiles of this draw's class were marked with), time and fbm.
// Out: gl_Position, v (quad position, (-1, -1) bottom-left to (1, 1) top-right) and the frame's
//      varyings of scene_inputs.

uniform float tileDepth;
varying vec2 v;

void main() {
    gl_Position = gl_Vertex;
    gl_Position.z = tileDepth * 2. - 1.;
    v = gl_Vertex.xy;
    computeFrame();
}

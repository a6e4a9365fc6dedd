#version 120
// Entry point of the scene vertex stage: the full-screen quad's corner at the depth of the tiles
// this draw covers, plus the values that are the same for every pixel of a frame. Last part,
// after scene_sky_model and scene_frame.
//
// In:  gl_Vertex, uniform float time, uniform sampler2D fbm (see scene_frame), uniform float
//      tileDepth (window depth, 0..1, that the tiles of this draw's class were marked with).
// Out: gl_Position, v and the frame varyings of scene_frame.

uniform float tileDepth;

void main() {
    setUpFrame();
    gl_Position.z = tileDepth * 2. - 1.;
}

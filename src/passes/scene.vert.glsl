#version 120
// Entry point of the scene vertex stage: the full-screen quad's corner unchanged, plus the values
// that are the same for every pixel of a frame. Last part, after scene_sky_model and scene_frame.
//
// In:  gl_Vertex, uniform float time, uniform sampler2D fbm (see scene_frame).
// Out: gl_Position, v and the frame varyings of scene_frame.

void main() {
    setUpFrame();
}

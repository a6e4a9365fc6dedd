#version 120
// Entry point of the scene vertex stage: the full-screen quad's corner, and the frame's values, the
// same for every pixel.
//
// In:  gl_Vertex (clip-space corner of the full-screen quad, -1..1), time and fbm; with
//      SCISSOR_PER_INSTANCE (scene_extensions), the instance's number.
// Out: gl_Position, v (quad position, (-1, -1) bottom-left to (1, 1) top-right) and the frame's
//      varyings of scene_inputs; with SCISSOR_PER_INSTANCE, gl_ViewportIndex.

varying vec2 v;

void main() {
    gl_Position = gl_Vertex;
#ifdef SCISSOR_PER_INSTANCE
    // Every viewport is the same; instance i differs only in its scissor box, box i (ScenePass).
    gl_ViewportIndex = gl_InstanceIDARB;
#endif
    v = gl_Vertex.xy;
    computeFrame();
}

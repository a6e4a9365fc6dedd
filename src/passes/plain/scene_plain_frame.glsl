#version 120
// The plain program's adapter: the frame's values of scene_inputs become globals of the fragment
// stage instead of varyings, and each fragment computes them (computeFrame() in
// scene_plain.frag), so the program needs no vertex-stage texture reads and a single varying; and
// the mirror chain is shaded in the plain program's own order (scene_shading). It must come
// before scene_inputs, which reads FRAME_VALUE.

#define FRAME_VALUE
#define SHADE_EVERY_SEGMENT

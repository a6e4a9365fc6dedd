#version 120
// What every stage of the scene reads: the time, the noise, and the frame's values, those that are
// the same at every pixel. computeFrame() (scene_frame) writes the frame's values and readFrame()
// (scene_geometry) reads them. Part of every scene stage.
//
// FRAME_VALUE says how the frame's values travel. By default they are varyings: the vertex stage
// computes them once and every vertex writes the same, so each reaches every fragment unchanged.
// Where the GL has GL_EXT_gpu_shader4 (scene_extensions) they are flat: the same values, taken
// from one vertex, which llvmpipe then passes to a fragment without interpolating them per pixel
// (about 7% of the scene pass at 640x360).
// The plain program defines it empty first (plain/scene_plain_frame), so they are globals that
// each fragment computes for itself.
//
//   uniform float time                seconds since the frame loop started
//   uniform sampler2D fbm             unit 1: 256 x 256 RGBA fbm noise, grey, that tiles, mipmapped,
//                                     repeat (the clouds, the logo's dissolve)
//   frameSpheres[SPHERE_COUNT]        sphere centres in xyz, radius in w
//   frameSun                          unit vector toward the sun
//   frameSkyNormaliser                skyNormaliser() of the sun's zenith angle
//   frameSkyAway                      linear sky toward the horizon away from the sun
//   frameLogoTint                     the logo's tint, the sky toward (1, .1, 0) scaled to 1.5

uniform float time;
uniform sampler2D fbm;

#ifndef FRAME_VALUE
#ifdef GL_EXT_gpu_shader4
#define FRAME_VALUE flat varying
#else
#define FRAME_VALUE varying
#endif
#endif
FRAME_VALUE vec4 frameSpheres[SPHERE_COUNT];
FRAME_VALUE vec3 frameSun;
FRAME_VALUE vec3 frameSkyNormaliser;
FRAME_VALUE vec3 frameSkyAway;
FRAME_VALUE vec3 frameLogoTint;

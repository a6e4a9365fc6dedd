#version 120
// First part of both stages of the scene program: the extensions it uses where the GL has them,
// which must come before any declaration.
//
// GL_EXT_gpu_shader4 gives `flat` varyings (scene_inputs).

#ifdef GL_EXT_gpu_shader4
#extension GL_EXT_gpu_shader4 : enable
#endif

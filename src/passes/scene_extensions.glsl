#version 120
// First part of both stages of the scene program: the extensions it uses where the GL has them,
// which must come before any declaration.
//
// GL_EXT_gpu_shader4 gives `flat` varyings (scene_inputs).

#ifdef GL_EXT_gpu_shader4
#extension GL_EXT_gpu_shader4 : enable
#endif

// SCISSOR_PER_INSTANCE, which the scene pass defines in the vertex stage where the GL has scissor
// arrays: the stage picks each instance's viewport, and with it its scissor box (scene.vert).
#ifdef SCISSOR_PER_INSTANCE
#extension GL_ARB_shader_viewport_layer_array : require
#extension GL_ARB_draw_instanced : require
#endif

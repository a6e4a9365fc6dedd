// The scene program's sources: its vertex and fragment stages, each joined from its GLSL parts at
// build time in the order that src/passes/CMakeLists.txt lists, each part behind a #line that
// gives compiler logs its file and line (cmake/JoinShader.cmake).
//
// sceneVertexSource() and sceneFragmentSource() are what the scene pass compiles (the latter also
// specialised for classes of tiles); sceneProgramSource() is the full scene program.
#pragma once

#include <string>

namespace tw {

// The two stages of a scene program.
struct SceneProgramSource {
    std::string vertex;
    std::string fragment;
};

// With scissorPerInstance, the stage for the scene pass's instanced draws, each instance clipped by
// its own scissor box (SCISSOR_PER_INSTANCE, scene_extensions.glsl).
std::string sceneVertexSource(bool scissorPerInstance = false);
// With `defines` (preprocessor lines, see scene_shading.glsl), a program for some tiles only.
std::string sceneFragmentSource(const char* defines = "");
SceneProgramSource sceneProgramSource();

}  // namespace tw

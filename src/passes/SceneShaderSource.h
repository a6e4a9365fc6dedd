// The scene program's sources: the vertex stage (constants, sky model, inputs, sphere paths, the
// frame's values, entry point) and the fragment stage (constants, sky model, inputs, geometry,
// sky, shading, entry point), each joined from its GLSL parts at build time in the order that
// src/passes/CMakeLists.txt lists.
//
// sceneVertexSource() and sceneFragmentSource() are what the scene pass compiles (the latter also
// specialised for classes of tiles).
#pragma once

#include <string>

namespace tw {

// The two stages of a scene program.
struct SceneProgramSource {
    std::string vertex;
    std::string fragment;
};

std::string sceneVertexSource();
// With `defines` (preprocessor lines, see scene_shading.glsl), a program for some tiles only.
std::string sceneFragmentSource(const char* defines = "");
SceneProgramSource sceneProgramSource();

}  // namespace tw

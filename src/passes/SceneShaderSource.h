// The scene program's sources, each joined from GLSL parts that open with their own version line:
// the vertex stage (constants, sky model, inputs, sphere paths, the frame's values, entry point)
// and the fragment stage (constants, sky model, inputs, geometry, sky, shading, entry point).
//
// sceneVertexSource() and sceneFragmentSource() are what the scene pass compiles (the latter also
// specialised for classes of tiles);
// joinShaderParts() lets other programs (probe shaders in tests) compile the same parts with an
// entry point of their own.
#pragma once

#include <initializer_list>
#include <string>

namespace tw {

// Concatenates the parts in order. The first keeps its "#version" line; from the others a leading
// "#version" line is dropped, since a program may state its version only once, first.
std::string joinShaderParts(std::initializer_list<const char*> parts);

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

// The scene fragment program's source, joined from its GLSL parts (geometry, sky, shading, entry
// point), each of which opens with its own version line.
//
// sceneFragmentSource() is what the scene pass compiles; joinShaderParts() lets other programs
// (probe shaders in tests) compile the same parts with an entry point of their own.
#pragma once

#include <initializer_list>
#include <string>

namespace tw {

// Concatenates the parts in order. The first keeps its "#version" line; from the others a leading
// "#version" line is dropped, since a program may state its version only once, first.
std::string joinShaderParts(std::initializer_list<const char*> parts);

std::string sceneFragmentSource();

}  // namespace tw

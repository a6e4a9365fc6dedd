// Turns one GLSL 1.20 stage, as the desktop build compiles it, into GLSL ES 3.00 for WebGL 2: the
// stage's prelude (web/dialect.vert.glsl or dialect.frag.glsl) first, the source after it with
// its #version line blanked, its uniform initialisers (which ES lacks) dropped and its #line
// directives moved to ES's numbering. Line numbers in compiler logs stay those of the source, and
// of each part in a stage joined from parts.
#pragma once

#include <string>

namespace tw {

std::string toEssl300(const std::string& source, bool vertexStage);

}  // namespace tw

// Turns one GLSL 1.20 stage, as the desktop build compiles it, into GLSL ES 3.00 for WebGL 2: the
// stage's prelude (web/dialect.vert.glsl or dialect.frag.glsl) first, the source after it with
// its #version line blanked and its uniform initialisers (which ES lacks) dropped. Line numbers in
// compiler logs stay those of the source.
#pragma once

#include <string>

namespace tw {

std::string toEssl300(const std::string& source, bool vertexStage);

}  // namespace tw

// A compile log that names the files of a stage joined from GLSL parts (cmake/JoinShader.cmake):
// each logged place ("N:LINE") gets the part's file and line beside it, and the stage's table of
// parts follows the log. Pure text, no GL.
#pragma once

#include <string>

namespace tw {

// `log` as above for `source`, the stage it is the log of; `log` unchanged for a stage that was
// not joined from parts.
std::string withPartNames(const std::string& log, const std::string& source);

}  // namespace tw

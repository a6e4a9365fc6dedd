#include "ShaderDialect.h"

#include <cstdlib>

#include "embedded/dialectFragmentPrelude.h"
#include "embedded/dialectVertexPrelude.h"

namespace tw {

namespace {

// "uniform float rt_w = 1280.0;" becomes "uniform float rt_w;": the GL then starts it at zero,
// which only matters to a uniform that is read without being set: rt_w and rt_h of the FXAA
// vertex stage, which feed a varying that nothing reads.
std::string dropUniformInitialiser(const std::string& line) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line.compare(start, 8, "uniform ") != 0)
        return line;
    const size_t equals = line.find('=');
    const size_t semicolon = line.find(';');
    if (equals == std::string::npos || semicolon == std::string::npos || equals > semicolon)
        return line;
    size_t end = equals;
    while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\t'))
        --end;
    return line.substr(0, end) + line.substr(semicolon);
}

// "#line 1 3" becomes "#line 2 3": the line after it is numbered L + 1 in GLSL 1.20 and L in
// GLSL ES 3.00, so the parts of a joined stage keep their own line numbers.
std::string shiftLineDirective(const std::string& line) {
    if (line.compare(0, 6, "#line ") != 0)
        return line;
    char* rest = nullptr;
    const long number = std::strtol(line.c_str() + 6, &rest, 10);
    return "#line " + std::to_string(number + 1) + rest;
}

}  // namespace

std::string toEssl300(const std::string& source, bool vertexStage) {
    std::string out = vertexStage ? dialectVertexPrelude : dialectFragmentPrelude;
    if (!out.empty() && out.back() != '\n')
        out += '\n';
    out += "#line 1\n";
    size_t pos = 0;
    while (pos < source.size()) {
        size_t end = source.find('\n', pos);
        if (end == std::string::npos)
            end = source.size();
        const std::string line = source.substr(pos, end - pos);
        // Blanked rather than removed, so the lines below keep their numbers.
        if (line.compare(0, 8, "#version") != 0)
            out += shiftLineDirective(dropUniformInitialiser(line));
        out += '\n';
        pos = end + 1;
    }
    return out;
}

}  // namespace tw

#include "gl/ShaderLog.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tw {

namespace {

// What cmake/JoinShader.cmake gives each part of a joined stage: its source number N and lines
// from kLinesPerPart N on, and a table of "// source N: path" lines.
constexpr long kLinesPerPart = 1000;
const char* const kSourceMark = "// source ";

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

}  // namespace

std::string withPartNames(const std::string& log, const std::string& source) {
    std::vector<std::string> parts;
    std::string table;
    for (const std::string& line : splitLines(source)) {
        if (line.compare(0, std::strlen(kSourceMark), kSourceMark) == 0) {
            parts.push_back(line.substr(line.find(": ") + 2));
            table += line.substr(3) + "\n";
        }
    }
    if (parts.empty())
        return log;
    const auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    std::string named;
    for (const std::string& line : splitLines(log)) {
        named += line;
        // Mesa writes "0:1032(5): error: ...", glslang and the browsers "ERROR: 1:1032: ...".
        size_t colon = line.find(':');
        while (colon != std::string::npos && !(colon > 0 && digit(line[colon - 1]) &&
                                               colon + 1 < line.size() && digit(line[colon + 1])))
            colon = line.find(':', colon + 1);
        if (colon != std::string::npos) {
            const long stageLine = std::strtol(line.c_str() + colon + 1, nullptr, 10);
            const size_t part = static_cast<size_t>(stageLine / kLinesPerPart);
            if (part < parts.size())
                named +=
                    "  [" + parts[part] + ":" + std::to_string(stageLine % kLinesPerPart) + "]";
        }
        named += "\n";
    }
    return named + table;
}

}  // namespace tw

// The browser's form of one GLSL stage, made by the page's own rules (web/src/ShaderDialect.cpp),
// for the offline GLSL check: glsl_dialect vert|frag IN OUT.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "ShaderDialect.h"

int main(int argc, char** argv) {
    const std::string stage = argc == 4 ? argv[1] : "";
    if (stage != "vert" && stage != "frag") {
        std::fprintf(stderr, "usage: glsl_dialect vert|frag IN OUT\n");
        return 2;
    }
    std::ifstream in(argv[2]);
    std::stringstream source;
    source << in.rdbuf();
    std::ofstream out(argv[3]);
    out << tw::toEssl300(source.str(), stage == "vert");
    out.close();
    if (!in || !out) {
        std::fprintf(stderr, "glsl_dialect: cannot turn %s into %s\n", argv[2], argv[3]);
        return 1;
    }
    return 0;
}

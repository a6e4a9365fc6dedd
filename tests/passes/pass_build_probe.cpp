// Builds one pass, named on the command line, in a fresh GL context; prints "built" when it
// returns. Run with a GL that refuses the shaders' language version to see how start-up fails.
#include <cstdio>
#include <cstring>

#include "gl/RenderTarget.h"
#include "passes/FxaaPass.h"
#include "passes/PostFxPass.h"
#include "passes/ScenePass.h"
#include "support/GlTestContext.h"

int main(int argc, char** argv) {
    if (argc != 2 || (std::strcmp(argv[1], "fxaa") != 0 && std::strcmp(argv[1], "postfx") != 0 &&
                      std::strcmp(argv[1], "scene") != 0)) {
        std::fprintf(stderr, "usage: pass_build_probe fxaa|postfx|scene\n");
        return 2;
    }
    tw::test::GlTestContext::ensure();
    tw::RenderTarget source;
    if (std::strcmp(argv[1], "scene") == 0)
        tw::ScenePass pass(320, 240);
    else if (std::strcmp(argv[1], "fxaa") == 0)
        tw::FxaaPass pass(320, 240, &source);
    else
        tw::PostFxPass pass(320, 240, &source);
    std::puts("built");
    return 0;
}

#include "passes/GlResources.h"

#include <cstdio>

#include "assets/TextureBank.h"
#include "gl/FullscreenQuad.h"
#include "passes/PassChain.h"

namespace tw {

void prepareGlResources(int screenWidth, int screenHeight) {
    FullscreenQuad::create();
    // The bank's first use generates its texture names, so it must come after the context.
    TextureBank& bank = TextureBank::instance();
    bank.screenWidth = screenWidth;
    bank.screenHeight = screenHeight;
    bank.build();
    // The bank leaves unit 0 active, where the fixed-function texturing belongs.
    FullscreenQuad::setFixedFunctionState(screenWidth, screenHeight);
}

std::unique_ptr<PassChain> createPassChain(int width, int height) {
    auto chain = std::make_unique<PassChain>(width, height);
    if (!chain->sceneFallback().empty())
        std::fprintf(stderr, "%s\n", chain->sceneFallback().c_str());
    return chain;
}

}  // namespace tw

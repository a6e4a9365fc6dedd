#include "app/GlResources.h"

#include <cstdio>

#include "app/StartupFailure.h"
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
    glEnable(GL_TEXTURE_1D);
    glEnable(GL_TEXTURE_2D);
    bank.build();

    glViewport(0, 0, screenWidth, screenHeight);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

std::unique_ptr<PassChain> createPassChain(int screenWidth, int screenHeight) {
    auto chain = std::make_unique<PassChain>(screenWidth, screenHeight);
    if (!chain->sceneFallback().empty())
        std::fprintf(stderr, "%s\n", chain->sceneFallback().c_str());
    if (const PassChain::Failure* failure = chain->failure()) {
        static const char* const kLines[] = {"Raytracer Shader : ERROR", "FXAA Shader : ERROR",
                                             "PostFX Shader : ERROR"};
        failStartup(kLines[static_cast<int>(failure->pass)], failure->log);
    }
    return chain;
}

}  // namespace tw

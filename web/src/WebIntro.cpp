#include "WebIntro.h"

#include <emscripten/emscripten.h>

#include <cstdio>

#include "assets/TextureBank.h"
#include "gl/FullscreenQuad.h"

namespace tw {

bool WebIntro::start(int width, int height, bool fixedSize) {
    fixed = fixedSize;
    size = {width, height};
    TextureBank& bank = TextureBank::instance();
    bank.screenWidth = width;
    bank.screenHeight = height;
    return build();
}

bool WebIntro::restore() {
    // Every name the old context gave out died with it; the bank's textures need new ones
    // before their upload, and the old chain's deletions of dead names are ignored by the GL.
    TextureBank& bank = TextureBank::instance();
    for (Texture* texture : {&bank.logo, &bank.fbm, &bank.checker, &bank.font, &bank.scroll})
        texture->renew();
    chain.reset();
    return build();
}

bool WebIntro::build() {
    // The desktop's order (GlResources.cpp), less enabling fixed-function texturing, which WebGL
    // does not have and the stretch shader does not need.
    FullscreenQuad::create();
    TextureBank::instance().build();
    chain = std::make_unique<PassChain>(size.width, size.height);
    if (!chain->sceneFallback().empty())
        std::fprintf(stderr, "%s\n", chain->sceneFallback().c_str());
    if (const PassChain::Failure* failure = chain->failure()) {
        // The desktop's lines for the three passes, in the chain's order.
        static const char* const kLines[] = {"Raytracer Shader : ERROR", "FXAA Shader : ERROR",
                                             "PostFX Shader : ERROR"};
        line = kLines[static_cast<int>(failure->pass)];
        log = failure->log;
        return false;
    }
    if (stretch.build() != ShaderProgram::kBuilt) {
        line = "Stretch Shader : ERROR";
        log = stretch.log();
        return false;
    }
    timing = false;
    return true;
}

void WebIntro::resizePasses(RenderSize to) {
    size = to;
    chain->resize(size.width, size.height);
    lastStep = emscripten_get_now();
    framesSinceStep = 0;
}

void WebIntro::frame(float time, int canvasWidth, int canvasHeight) {
    TextureBank& bank = TextureBank::instance();
    if (canvasWidth != bank.screenWidth || canvasHeight != bank.screenHeight) {
        bank.screenWidth = canvasWidth;
        bank.screenHeight = canvasHeight;
        // A new window size starts the calibration again from that size, as a new window would.
        if (!fixed)
            resizePasses({canvasWidth, canvasHeight});
    }
    if (!timing) {
        lastStep = emscripten_get_now();
        framesSinceStep = 0;
        timing = true;
    }
    if (!fixed &&
        resolutionStepDue((emscripten_get_now() - lastStep) / 1000.0, framesSinceStep, size.width))
        resizePasses(lowerResolution(size));
    chain->render(time);
    stretch.draw(chain->output().colorTexture(), canvasWidth, canvasHeight);
    ++framesSinceStep;
}

}  // namespace tw

#include "WebIntro.h"

#include <emscripten/emscripten.h>

#include "app/GlResources.h"
#include "assets/TextureBank.h"

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
    // The bank keeps the canvas's size; the passes keep the current step's.
    const TextureBank& bank = TextureBank::instance();
    prepareGlResources(bank.screenWidth, bank.screenHeight);
    chain = createPassChain(size.width, size.height);
    if (const PassChain::Failure* failure = chain->failure()) {
        line = PassChain::failureLine(failure->pass);
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

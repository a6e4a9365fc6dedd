#include "WebIntro.h"

#include "assets/TextureBank.h"
#include "passes/GlResources.h"

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
    for (Texture* texture : bank.all())
        texture->renew();
    if (driver)
        size = driver->size();
    driver.reset();
    return build();
}

bool WebIntro::build() {
    // The bank keeps the canvas's size; the passes keep the current step's.
    const TextureBank& bank = TextureBank::instance();
    prepareGlResources(bank.screenWidth, bank.screenHeight);
    driver = std::make_unique<FrameDriver>(
        size, FrameDriver::Options{.calibrate = !fixed, .stretch = true});
    if (const FrameDriver::Failure* failure = driver->failure()) {
        line = failure->line;
        log = failure->log;
        return false;
    }
    return true;
}

void WebIntro::frame(float time, int canvasWidth, int canvasHeight, bool held) {
    TextureBank& bank = TextureBank::instance();
    if (canvasWidth != bank.screenWidth || canvasHeight != bank.screenHeight) {
        bank.screenWidth = canvasWidth;
        bank.screenHeight = canvasHeight;
        // A new window size starts the calibration again from that size, as a new window would.
        if (!fixed)
            driver->resize({canvasWidth, canvasHeight});
    }
    if (held)
        driver->redraw(time);
    else
        driver->render(time);
    driver->present(canvasWidth, canvasHeight);
}

void WebIntro::hold() {
    if (driver)
        driver->hold();
}

}  // namespace tw

#include "passes/FrameDriver.h"

#include "assets/TextureBank.h"
#include "gl/GlExtensionTable.h"
#include "passes/GlResources.h"
#include "passes/WarmUp.h"

namespace tw {

FrameDriver::FrameDriver(RenderSize size, Options options)
    : current(size), calibrating(options.calibrate) {
    const bool stretchToScreen = options.stretch;
    chain = createPassChain(size.width, size.height);
    if (const PassChain::Failure* chainFailure = chain->failure()) {
        failed = Failure{PassChain::failureLine(chainFailure->pass), chainFailure->log};
        return;
    }
    if (stretchToScreen && stretch.build() != ShaderProgram::kBuilt) {
        failed = Failure{"Stretch Shader : ERROR", stretch.log()};
        return;
    }
    chain->warmUp();
    if (stretchToScreen) {
        const TextureBank& bank = TextureBank::instance();
        drawOnOnePixel([&] {
            stretch.draw(chain->output().colorTexture(), bank.screenWidth, bank.screenHeight);
        });
    }
    // The pixels drawn on the way must not land in the first timed frame either.
    glFinish();
}

void FrameDriver::startWindow() {
    timing = true;
    sinceStep.reset();
    framesSinceStep = 0;
}

void FrameDriver::render(float time) {
    if (calibrating) {
        if (!timing) {
            startWindow();
        } else if (resolutionStepDue(sinceStep.elapsed(), framesSinceStep, current.width)) {
            // The window starts before the resize: new targets and a new tile layout are part of
            // what the new size costs.
            startWindow();
            current = lowerResolution(current);
            chain->resize(current.width, current.height);
        }
    }
    chain->render(time);
    ++framesSinceStep;
}

void FrameDriver::redraw(float time) {
    chain->render(time);
    timing = false;
}

void FrameDriver::present(int screenWidth, int screenHeight) {
    stretch.draw(chain->output().colorTexture(), screenWidth, screenHeight);
}

void FrameDriver::resize(RenderSize to) {
    current = to;
    chain->resize(current.width, current.height);
    timing = false;
}

}  // namespace tw

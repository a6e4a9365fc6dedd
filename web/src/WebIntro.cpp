#include "WebIntro.h"

#include <emscripten/emscripten.h>

#include "assets/TextureBank.h"
#include "gl/FullscreenQuad.h"
#include "passes/FxaaPass.h"
#include "passes/PostFxPass.h"
#include "passes/ScenePass.h"

namespace tw {

bool WebIntro::start(int width, int height, bool fixedSize) {
    fixed = fixedSize;
    size = {width, height};
    // The desktop's order (GlResources.cpp), less enabling fixed-function texturing, which WebGL
    // does not have and the stretch shader does not need.
    FullscreenQuad::create();
    TextureBank& bank = TextureBank::instance();
    bank.screenWidth = width;
    bank.screenHeight = height;
    bank.build();
    scene = new ScenePass(width, height);
    fxaa = new FxaaPass(width, height, scene);
    postFx = new PostFxPass(width, height, fxaa);
    if (stretch.build() != ShaderProgram::kBuilt) {
        line = "Stretch Shader : ERROR";
        log = stretch.log();
        return false;
    }
    lastStep = emscripten_get_now();
    return true;
}

void WebIntro::resizePasses(RenderSize to) {
    size = to;
    scene->resize(size.width, size.height);
    fxaa->resize(size.width, size.height);
    postFx->resize(size.width, size.height);
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
    if (!fixed &&
        resolutionStepDue((emscripten_get_now() - lastStep) / 1000.0, framesSinceStep, size.width))
        resizePasses(lowerResolution(size));
    scene->render(time);
    fxaa->render(time);
    postFx->render(time);
    stretch.draw(postFx->colorTexture(), canvasWidth, canvasHeight);
    ++framesSinceStep;
}

}  // namespace tw

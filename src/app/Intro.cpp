#include "app/Intro.h"

#include <GLFW/glfw3.h>

#include "app/GlResources.h"
#include "app/ResolutionStep.h"
#include "app/StartupFailure.h"
#include "app/Timer.h"
#include "assets/TextureBank.h"
#include "audio/MusicPlayer.h"
#include "passes/PassChain.h"
#include "passes/ScreenStretch.h"

namespace tw {

RenderSize Intro::startWindowSystem() {
    if (glfwInit() == GLFW_FALSE)
        failStartup("glfwInit failed");
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    if (monitor == nullptr)
        failStartup("no primary monitor found");
    // GLFW answers null when the monitor reports no current mode.
    const GLFWvidmode* mode = glfwGetVideoMode(monitor);
    if (mode == nullptr)
        failStartup("no video mode found");
    return {mode->width, mode->height};
}

Intro::Intro(int width, int height, GlResolver resolve) : width(width), height(height) {
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    window =
        glfwCreateWindow(width, height, "Vendrel - Tidewatch", glfwGetPrimaryMonitor(), nullptr);
    // Names glfwInit although window creation failed: kept exactly, since scripts match the line.
    if (window == nullptr)
        failStartup("open window glfwInit failed");
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
    glfwMakeContextCurrent(window);
    glfwSetKeyCallback(window, onKey);
    glfwSwapInterval(0);  // the calibration must measure the GPU, not the refresh rate

    const bool loaded = resolve != nullptr ? loadGlExtensions(resolve) : loadGlExtensions();
    if (!loaded)
        failStartup("Load OGL extensions : ERROR");
    prepareGlResources(width, height);
    passes = createPassChain(width, height);
    if (const PassChain::Failure* failure = passes->failure())
        failStartup(PassChain::failureLine(failure->pass), failure->log);
    stretch = std::make_unique<ScreenStretch>();
    if (stretch->build() != ShaderProgram::kBuilt)
        failStartup("Stretch Shader : ERROR", stretch->log());

    // Last, so the music starts only when every GL resource exists.
    if (const char* failure = MusicPlayer::start())
        failStartup(failure);
}

Intro::~Intro() {
    MusicPlayer::stop();
}

void Intro::onKey(GLFWwindow* window, int key, int /*scancode*/, int action, int /*mods*/) {
    if (key == GLFW_KEY_ESCAPE && action == GLFW_PRESS)
        glfwSetWindowShouldClose(window, GLFW_TRUE);
}

void Intro::run() {
    Timer sceneTimer;
    Timer adaptTimer;
    sceneTimer.reset();
    adaptTimer.reset();
    int framesSinceResize = 0;
    int frame = 0;

    while (!glfwWindowShouldClose(window)) {
        glfwPollEvents();
        const float time = static_cast<float>(sceneTimer.elapsed());
        if (resolutionStepDue(adaptTimer.elapsed(), framesSinceResize, width)) {
            adaptTimer.reset();
            const RenderSize lowered = lowerResolution({width, height});
            width = lowered.width;
            height = lowered.height;
            passes->resize(width, height);
            framesSinceResize = 0;
        }
        passes->render(time);
        present();
        ++framesSinceResize;
        if (frameObserver)
            frameObserver({frame, time, width, height});
        ++frame;
    }
    // Their GL objects go while their context still exists.
    stretch.reset();
    passes.reset();
    glfwTerminate();
}

// Stretches the finished frame over the whole window.
void Intro::present() {
    const TextureBank& bank = TextureBank::instance();
    stretch->draw(passes->output().colorTexture(), bank.screenWidth, bank.screenHeight);
    glFlush();
    glFinish();
    glfwSwapBuffers(window);
}

}  // namespace tw

#include "app/Intro.h"

#include <GLFW/glfw3.h>

#include <cstdio>

#include "app/StartupFailure.h"
#include "audio/MusicPlayer.h"
#include "gl/Timer.h"
#include "passes/FrameDriver.h"
#include "passes/GlResources.h"

namespace tw {

namespace {

// The start-up failure's line on standard output stays as scripts match it; GLFW's own reason
// (which display, which extension) goes to standard error beside it.
void reportGlfwError(int code, const char* description) {
    std::fprintf(stderr, "GLFW error 0x%X: %s\n", static_cast<unsigned>(code), description);
}

}  // namespace

RenderSize Intro::startWindowSystem() {
    glfwSetErrorCallback(reportGlfwError);
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
    // Only the final stretch draws into the window, with no depth or stencil test; without those
    // buffers llvmpipe copies it on its fast path, about 40% cheaper at 1920x1080.
    glfwWindowHint(GLFW_DEPTH_BITS, 0);
    glfwWindowHint(GLFW_STENCIL_BITS, 0);
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
    driver = std::make_unique<FrameDriver>(
        RenderSize{width, height}, FrameDriver::Options{.calibrate = true, .stretch = true});
    if (const FrameDriver::Failure* failure = driver->failure())
        failStartup(failure->line, failure->log);

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
    const long builds = ShaderProgram::buildCount();
    const long firstDraws = ShaderProgram::firstUseCount();
    Timer sceneTimer;
    int frame = 0;

    while (!glfwWindowShouldClose(window)) {
        glfwPollEvents();
        const float time = static_cast<float>(sceneTimer.elapsed());
        driver->render(time);
        present();
        if (frameObserver) {
            const RenderSize size = driver->size();
            frameObserver({frame, time, size.width, size.height,
                           ShaderProgram::buildCount() - builds,
                           ShaderProgram::firstUseCount() - firstDraws});
        }
        ++frame;
    }
    // Its GL objects go while their context still exists.
    driver.reset();
    glfwTerminate();
}

// Stretches the finished frame over the whole window.
void Intro::present() {
    driver->present(width, height);
    glFlush();
    glFinish();
    glfwSwapBuffers(window);
}

}  // namespace tw

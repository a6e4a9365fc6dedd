#include "app/Intro.h"

#include <GLFW/glfw3.h>

#include "app/GlResources.h"
#include "app/ResolutionStep.h"
#include "app/StartupFailure.h"
#include "app/Timer.h"
#include "assets/TextureBank.h"
#include "audio/MusicPlayer.h"
#include "gl/FullscreenQuad.h"
#include "passes/FxaaPass.h"
#include "passes/PostFxPass.h"
#include "passes/ScenePass.h"

namespace tw {

// The passes are never deleted: their GL objects end with the context, which the frame loop
// destroys, and deleting them after that would make GL calls without one. They stay reachable
// from here until the process ends, like every other object that lives that long (outside an
// unnamed namespace, so that the compiler keeps it although nothing reads it).
struct LivingPasses {
    ScenePass* scene;
    FxaaPass* fxaa;
    PostFxPass* postFx;
} livingPasses;

Intro::Intro(int width, int height, bool fullscreen, GlResolver resolve)
    : width(width), height(height) {
    glfwWindowHint(GLFW_RESIZABLE, GLFW_FALSE);
    GLFWmonitor* monitor = fullscreen ? glfwGetPrimaryMonitor() : nullptr;
    window = glfwCreateWindow(width, height, "Vendrel - Tidewatch", monitor, nullptr);
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

    scenePass = new ScenePass(width, height);
    fxaaPass = new FxaaPass(width, height, scenePass);
    postFxPass = new PostFxPass(width, height, fxaaPass);
    livingPasses = {scenePass, fxaaPass, postFxPass};

    glViewport(0, 0, width, height);
    // Identity matrices for the whole run, so the quad's -1..1 corners cover the viewport.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();

    // Last, so the music starts only when every GL resource exists.
    MusicPlayer::start();
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
            scenePass->resize(width, height);
            fxaaPass->resize(width, height);
            postFxPass->resize(width, height);
            framesSinceResize = 0;
        }
        renderFrame(time);
        present();
        ++framesSinceResize;
        if (frameObserver)
            frameObserver({frame, time, width, height});
        ++frame;
    }
    glfwTerminate();
}

void Intro::renderFrame(float time) {
    scenePass->render(time);
    fxaaPass->render(time);
    postFxPass->render(time);
}

// Stretches the finished frame over the whole window with the fixed-function pipeline.
void Intro::present() {
    const TextureBank& bank = TextureBank::instance();
    glViewport(0, 0, bank.screenWidth, bank.screenHeight);
    // Unit 0 is active and no program is in use after the post pass.
    glBindTexture(GL_TEXTURE_2D, postFxPass->colorTexture());
    FullscreenQuad::draw();
    glFlush();
    glFinish();
    glfwSwapBuffers(window);
}

}  // namespace tw

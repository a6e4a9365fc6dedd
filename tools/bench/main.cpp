// tidewatch-bench: how long the render passes take on this machine's GL, as one printed table.
//
// Usage: tidewatch-bench [--frames N] [--time SECONDS]
// Renders off-screen (no window, no display server needed). Each pass row is the median time of
// N frames (default 11) at scene time SECONDS (default 30), every frame finished with glFinish.
// To measure another pass, add a line to kPasses.
#include <GL/gl.h>
#include <getopt.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "BenchTable.h"
#include "app/StartupFailure.h"
#include "app/Timer.h"
#include "assets/TextureBank.h"
#include "embedded/passthroughVertexSource.h"
#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"
#include "gl/OffscreenContext.h"
#include "gl/RenderTarget.h"
#include "gl/ShaderProgram.h"
#include "passes/FxaaPass.h"
#include "passes/PostFxPass.h"
#include "passes/ScenePass.h"
#include "passes/SceneShaderSource.h"

namespace {

struct Options {
    int frames = 11;
    float time = 30.f;
};

// The screen the passes restore the viewport to: the largest measured size.
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 720;
// Scene time of the frame the filters read.
constexpr float kSourceTime = 30.f;

// A pass set up at one size, as a function that renders one frame of it at a given time.
using Frame = std::function<void(float time)>;

struct PassCase {
    const char* name;
    std::function<Frame(int width, int height)> make;
};

const PassCase kPasses[] = {
    {"scene pass",
     [](int width, int height) -> Frame {
         auto pass = std::make_shared<tw::ScenePass>(width, height);
         return [pass](float time) { pass->render(time); };
     }},
    // The two filters have no loops, so their cost does not depend on the picture; one scene
    // frame gives them a realistic one.
    {"FXAA pass",
     [](int width, int height) -> Frame {
         auto scene = std::make_shared<tw::ScenePass>(width, height);
         auto fxaa = std::make_shared<tw::FxaaPass>(width, height, scene.get());
         scene->render(kSourceTime);
         return [scene, fxaa](float time) { fxaa->render(time); };
     }},
    {"post-effect pass",
     [](int width, int height) -> Frame {
         auto scene = std::make_shared<tw::ScenePass>(width, height);
         auto fxaa = std::make_shared<tw::FxaaPass>(width, height, scene.get());
         auto post = std::make_shared<tw::PostFxPass>(width, height, fxaa.get());
         scene->render(kSourceTime);
         fxaa->render(kSourceTime);
         return [scene, fxaa, post](float time) { post->render(time); };
     }},
    // Scene, FXAA, post effect and the final stretch to the screen, drawn into a 1280x720 target
    // that stands in for the window (there is none off-screen).
    {"whole chain",
     [](int width, int height) -> Frame {
         auto scene = std::make_shared<tw::ScenePass>(width, height);
         auto fxaa = std::make_shared<tw::FxaaPass>(width, height, scene.get());
         auto post = std::make_shared<tw::PostFxPass>(width, height, fxaa.get());
         auto screen = std::make_shared<tw::RenderTarget>();
         screen->resize(kScreenWidth, kScreenHeight);
         return [scene, fxaa, post, screen](float time) {
             scene->render(time);
             fxaa->render(time);
             post->render(time);
             screen->begin();
             glBindTexture(GL_TEXTURE_2D, post->colorTexture());
             tw::FullscreenQuad::draw();
             screen->end();
         };
     }},
};

const int kSizes[][2] = {{320, 180}, {640, 360}, {1280, 720}};

bool parseOptions(int argc, char** argv, Options& options) {
    static const option kLongOptions[] = {{"frames", required_argument, nullptr, 'f'},
                                          {"time", required_argument, nullptr, 't'},
                                          {"help", no_argument, nullptr, 'h'},
                                          {nullptr, 0, nullptr, 0}};
    for (;;) {
        const int id = getopt_long(argc, argv, "f:t:h", kLongOptions, nullptr);
        if (id == -1)
            break;
        char* end = nullptr;
        if (id == 'f') {
            options.frames = static_cast<int>(std::strtol(optarg, &end, 10));
            if (*end != '\0' || options.frames < 1) {
                std::fprintf(stderr, "tidewatch-bench: --frames wants a whole number above 0\n");
                return false;
            }
        } else if (id == 't') {
            options.time = std::strtof(optarg, &end);
            if (*end != '\0' || !(options.time >= 0.f)) {
                std::fprintf(stderr, "tidewatch-bench: --time wants seconds, 0 or more\n");
                return false;
            }
        } else {
            std::fprintf(id == 'h' ? stdout : stderr,
                         "usage: tidewatch-bench [--frames N] [--time SECONDS]\n");
            return false;
        }
    }
    if (optind < argc) {
        std::fprintf(stderr, "tidewatch-bench: unexpected argument %s\n", argv[optind]);
        return false;
    }
    return true;
}

// What the intro sets up before its passes, at the largest measured size.
void prepareGl() {
    tw::FullscreenQuad::create();
    tw::TextureBank& bank = tw::TextureBank::instance();
    bank.screenWidth = kScreenWidth;
    bank.screenHeight = kScreenHeight;
    glEnable(GL_TEXTURE_1D);
    glEnable(GL_TEXTURE_2D);
    bank.build();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options))
        return 2;

    tw::OffscreenContext context;
    if (!context.open()) {
        std::fprintf(stderr, "tidewatch-bench: no off-screen GL context: %s\n",
                     context.error().c_str());
        return 1;
    }
    if (!tw::loadGlExtensions(tw::OffscreenContext::resolve))
        tw::failStartup("Load OGL extensions : ERROR");
    prepareGl();
    std::printf("GL: %s, %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)));

    tw::BenchTable table;

    // Compile and link only; the GL may defer part of its work to the first draw, measured apart.
    const std::string sceneSource = tw::sceneFragmentSource();
    tw::ShaderProgram program;
    const double buildStart = tw::Timer::now();
    const int built = program.build(tw::passthroughVertexSource, sceneSource.c_str());
    glFinish();
    if (built != tw::ShaderProgram::kBuilt)
        tw::failStartup("Raytracer Shader : ERROR", program.log());
    table.add("scene program build", "-", (tw::Timer::now() - buildStart) * 1000.0,
              "compile and link, once");
    {
        const double start = tw::Timer::now();
        tw::ScenePass pass(320, 180);
        pass.render(options.time);
        glFinish();
        table.add("scene pass first frame", "320x180", (tw::Timer::now() - start) * 1000.0,
                  "construct, build and draw once");
    }

    const std::string note = "median of " + std::to_string(options.frames) + " frames at " +
                             std::to_string(options.time).substr(0, 5) + " s";
    for (const PassCase& passCase : kPasses) {
        for (const auto& size : kSizes) {
            const Frame frame = passCase.make(size[0], size[1]);
            const double ms =
                tw::medianMilliseconds([&] { frame(options.time); }, 2, options.frames);
            table.add(passCase.name, std::to_string(size[0]) + "x" + std::to_string(size[1]), ms,
                      note);
        }
    }
    table.print(stdout);
    return 0;
}

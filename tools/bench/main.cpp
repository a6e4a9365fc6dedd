// tidewatch-bench: what the intro costs on this machine's GL, as one printed table.
//
// Usage: tidewatch-bench [--frames N] [--scene-only] [--no-intro] [--cpu-time]
// The passes are timed off-screen (no window): each row is the median of up to N frames (default
// 15, fewer where a frame is slow, at least 3), every frame finished with glFinish, at scene times
// 3, 20 and 30 s. The scene is timed twice, with the plain scene program (the fallback) and the
// scene program, and the ratio of the two is a row of its own. Then the asset
// generators are run once each, and the intro itself is started under a private Xvfb (1920x1080)
// and sound server: time to its first presented frame, the size its frame loop settles at, its
// median and worst frame from 1 s to 30 s, its peak memory.
// --scene-only keeps just the scene rows; --no-intro skips the intro and the generators;
// --cpu-time times the passes in CPU milliseconds of all threads instead of wall-clock ones.
// To measure another pass, add a line to the rows in timePasses().
#include <GL/gl.h>
#include <getopt.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "BenchTable.h"
#include "ChildProcess.h"
#include "IntroLaunch.h"
#include "embedded/fxaaFragmentSource.h"
#include "embedded/fxaaVertexSource.h"
#include "embedded/passthroughVertexSource.h"
#include "embedded/postFxFragmentSource.h"
#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"
#include "gl/OffscreenContext.h"
#include "gl/RenderTarget.h"
#include "gl/ShaderProgram.h"
#include "gl/Timer.h"
#include "passes/FxaaPass.h"
#include "passes/GlResources.h"
#include "passes/PostFxPass.h"
#include "passes/ScenePass.h"
#include "passes/SceneShaderSource.h"
#include "passes/SceneTiles.h"
#include "passes/ScreenStretch.h"
#include "passes/plain/PlainScene.h"

namespace {

struct Options {
    int frames = 15;
    bool sceneOnly = false;
    bool intro = true;
    bool cpuTime = false;
};

// The screen the passes restore the viewport to and the final draw fills: the intro's screen
// under the private Xvfb.
constexpr int kScreenWidth = 1920;
constexpr int kScreenHeight = 1080;
// How long the intro's frames are watched, in scene seconds.
constexpr double kWatchSeconds = 30.0;
// Time spent on one row at most, beyond its first three frames.
constexpr double kRowBudgetSeconds = 1.5;

const int kSizes[][2] = {{320, 180}, {640, 360}, {1280, 720}, {1920, 1080}};
const float kTimes[] = {3.f, 20.f, 30.f};

std::string sizeName(int width, int height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

std::string timeName(float time) {
    return std::to_string(static_cast<int>(time)) + "s";
}

bool parseOptions(int argc, char** argv, Options& options) {
    static const option kLongOptions[] = {
        {"frames", required_argument, nullptr, 'f'}, {"scene-only", no_argument, nullptr, 's'},
        {"no-intro", no_argument, nullptr, 'n'},     {"cpu-time", no_argument, nullptr, 'c'},
        {"help", no_argument, nullptr, 'h'},         {nullptr, 0, nullptr, 0}};
    for (;;) {
        const int id = getopt_long(argc, argv, "f:snch", kLongOptions, nullptr);
        if (id == -1)
            break;
        char* end = nullptr;
        if (id == 'f') {
            options.frames = static_cast<int>(std::strtol(optarg, &end, 10));
            if (*end != '\0' || options.frames < 1) {
                std::fprintf(stderr, "tidewatch-bench: --frames wants a whole number above 0\n");
                return false;
            }
        } else if (id == 's') {
            options.sceneOnly = true;
        } else if (id == 'n') {
            options.intro = false;
        } else if (id == 'c') {
            options.cpuTime = true;
        } else {
            std::fprintf(id == 'h' ? stdout : stderr,
                         "usage: tidewatch-bench [--frames N] [--scene-only] [--no-intro] "
                         "[--cpu-time]\n");
            return false;
        }
    }
    if (optind < argc) {
        std::fprintf(stderr, "tidewatch-bench: unexpected argument %s\n", argv[optind]);
        return false;
    }
    return true;
}

// What the intro sets up before its passes, timed; most of it is TextureBank::build.
void prepareGl(tw::BenchTable& table) {
    const double start = tw::Timer::now();
    tw::prepareGlResources(kScreenWidth, kScreenHeight);
    glFinish();
    table.add("GL resources", "-", "-", (tw::Timer::now() - start) * 1000.0, "ms",
              "once: quad, texture bank with mipmaps");
}

// Compile and link, then the first draw, where llvmpipe compiles the program for its rasteriser.
void timeProgramBuild(tw::BenchTable& table, const char* name, const std::string& vertex,
                      const std::string& fragment) {
    tw::ShaderProgram program;
    const double start = tw::Timer::now();
    if (program.build(vertex.c_str(), fragment.c_str()) != tw::ShaderProgram::kBuilt) {
        std::fprintf(stderr, "%s\ntidewatch-bench: the %s program did not build\n",
                     program.log().c_str(), name);
        std::exit(1);
    }
    glFinish();
    const double built = tw::Timer::now();
    tw::RenderTarget target;
    target.resize(64, 36);
    target.begin();
    program.use();
    tw::FullscreenQuad::draw();
    program.unuse();
    target.end();
    glFinish();
    const double drawn = tw::Timer::now();
    table.add(std::string("build ") + name, "-", "-", (built - start) * 1000.0, "ms",
              "compile and link");
    table.add(std::string("first draw ") + name, "64x36", "-", (drawn - built) * 1000.0, "ms",
              "llvmpipe compiles at first draw");
}

// The scene pass as the intro makes it before its clock starts: every tile class's program and
// the logo's layer built and drawn once.
void timeScenePassReady(tw::BenchTable& table) {
    const double start = tw::Timer::now();
    tw::ScenePass pass(64, 36);
    pass.warmUp();
    glFinish();
    if (pass.buildResult() != tw::ShaderProgram::kBuilt || !pass.tileProgramsReady()) {
        std::fprintf(stderr, "%s\ntidewatch-bench: the scene pass did not build\n",
                     pass.buildLog().c_str());
        std::exit(1);
    }
    table.add("scene pass ready", "-", "-", (tw::Timer::now() - start) * 1000.0, "ms",
              std::to_string(tw::SceneTiles::kClassCount) +
                  " programs and the logo's layer built and drawn once");
}

// The tile layout, once per rendering size, before that size's first frame.
void timeTileLayout(tw::BenchTable& table, const Options& options) {
    const std::string clock = options.cpuTime ? "CPU time, " : "";
    for (const auto& size : {std::array<int, 2>{1920, 1080}, {3840, 2160}}) {
        tw::SceneTiles tiles;
        const tw::Median median = tw::medianMilliseconds([&] { tiles.layOut(size[0], size[1]); },
                                                         options.frames, kRowBudgetSeconds);
        table.add("scene tile layout", sizeName(size[0], size[1]), "-", median.milliseconds, "ms",
                  clock + "median of " + std::to_string(median.frames) + " layouts");
    }
}

// One size: every pass built once and timed at each scene time.
void timePasses(tw::BenchTable& table, const Options& options, int width, int height) {
    auto plain = std::make_unique<tw::ScenePass>(width, height, tw::plainSceneProgramSource());
    auto scene = std::make_unique<tw::ScenePass>(width, height);
    auto fxaa = std::make_unique<tw::FxaaPass>(width, height, scene.get(), scene->frameTiles());
    auto post = std::make_unique<tw::PostFxPass>(width, height, fxaa.get());
    // Like the intro's window, no depth buffer: llvmpipe's fast path for the stretch needs none.
    tw::RenderTarget screen(tw::RenderTarget::Depth::kNone);
    screen.resize(kScreenWidth, kScreenHeight);
    tw::ScreenStretch stretch;
    if (stretch.build() != tw::ShaderProgram::kBuilt) {
        std::fprintf(stderr, "%s\ntidewatch-bench: the stretch program did not build\n",
                     stretch.log().c_str());
        std::exit(1);
    }

    const std::string size = sizeName(width, height);
    const std::string clock = options.cpuTime ? "CPU time, " : "";
    for (float time : kTimes) {
        const std::string at = timeName(time);
        auto row = [&](const char* what, const std::function<void()>& frame) {
            const tw::Median median =
                tw::medianMilliseconds(frame, options.frames, kRowBudgetSeconds);
            table.add(what, size, at, median.milliseconds, "ms",
                      clock + "median of " + std::to_string(median.frames) + " frames");
            return median.milliseconds;
        };
        const auto [before, after] =
            tw::medianMillisecondsInTurn([&] { plain->render(time); }, [&] { scene->render(time); },
                                         options.frames, 2 * kRowBudgetSeconds);
        const std::string note = clock + "median of " + std::to_string(before.frames) + " in turn";
        table.add("scene pass, plain", size, at, before.milliseconds, "ms", note);
        table.add("scene pass", size, at, after.milliseconds, "ms", note);
        table.add("scene speed-up", size, at, before.milliseconds / after.milliseconds, "x",
                  "plain / scene program");
        if (options.sceneOnly)
            continue;
        scene->render(time);
        row("FXAA pass", [&] { fxaa->render(time); });
        row("post-effect pass", [&] { post->render(time); });
        auto present = [&] {
            // The window's stand-in: the intro stretches the post target over its 1920x1080.
            tw::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, screen.framebuffer());
            stretch.draw(post->colorTexture(), kScreenWidth, kScreenHeight);
            tw::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        };
        row("final stretch to 1920x1080", present);
        row("whole chain and final draw", [&] {
            scene->render(time);
            fxaa->render(time);
            post->render(time);
            present();
        });
    }
}

// Each generator once, writing into a scratch folder, as the build runs it.
void timeGenerators(tw::BenchTable& table) {
    char scratch[] = "/tmp/tidewatch-bench-XXXXXX";
    if (mkdtemp(scratch) == nullptr)
        return;
    const std::string dir = scratch;
    const std::string pictures = std::string(TW_SOURCE_DIR) + "/tools/pictures/";
    const std::string song = std::string(TW_SOURCE_DIR) + "/tools/music/song/";
    const struct {
        const char* name;
        std::vector<std::string> argv;
    } generators[] = {
        {"generator: logo", {TW_MAKE_LOGO, pictures + "logo_shapes.txt", dir + "/logo.rec"}},
        {"generator: font", {TW_MAKE_FONT, pictures + "font_glyphs.txt", dir + "/font.rec"}},
        {"generator: fbm", {TW_MAKE_FBM, dir + "/fbm.rec"}},
        {"generator: music",
         {TW_MAKE_MUSIC, song + "instruments.txt", song + "song.txt", dir + "/music.xm"}},
    };
    for (const auto& generator : generators) {
        const tw::ProcessResult run = tw::runProcess(generator.argv, {}, 600.0);
        const bool ok = run.exited && run.exitStatus == 0;
        table.add(generator.name, "-", "-", run.seconds * 1000.0, "ms", ok ? "one run" : "FAILED");
    }
    std::filesystem::remove_all(dir);
}

void timeIntro(tw::BenchTable& table) {
    const std::string harness = TW_INTRO_HARNESS;
    if (harness.empty() || access(harness.c_str(), X_OK) != 0) {
        std::fprintf(stderr, "tidewatch-bench: cannot run %s for the intro rows\n",
                     harness.c_str());
        return;
    }
    tw::PrivateServices services;
    if (!services.start(std::string(TW_BINARY_DIR) + "/bench-services")) {
        std::fprintf(stderr, "tidewatch-bench: %s\n", services.error().c_str());
        return;
    }
    // Watched for 30 s: a program that the GL finishes only when first drawn shows as a long frame.
    const tw::IntroRun settled =
        tw::launchIntro(harness, services.environment(), true, 120.0, kWatchSeconds);
    if (!settled.ok) {
        std::fprintf(stderr, "tidewatch-bench: intro: %s\n", settled.error.c_str());
        return;
    }
    std::vector<double> firstFrames = {settled.firstFrameSeconds};
    for (int i = 0; i < 2; ++i) {
        const tw::IntroRun run = tw::launchIntro(harness, services.environment(), false, 30.0);
        if (run.ok)
            firstFrames.push_back(run.firstFrameSeconds);
    }
    std::sort(firstFrames.begin(), firstFrames.end());
    table.add("intro: start to first frame", "1920x1080", "-",
              firstFrames[firstFrames.size() / 2] * 1000.0, "ms",
              "median of " + std::to_string(firstFrames.size()) + " launches");
    table.add("intro: settled rendering width",
              sizeName(settled.settledWidth, settled.settledHeight), "-", settled.settledWidth,
              "px", "frame loop under Xvfb 1920x1080");
    table.add("intro: peak resident memory", "-", "-", settled.peakResidentMiB, "MiB",
              "in the first 30 s");
    const std::string size = sizeName(settled.settledWidth, settled.settledHeight);
    table.add("intro: median frame", size, "1-30s", settled.medianFrameMs, "ms",
              "between presented frames");
    table.add("intro: worst frame", size, "1-30s", settled.worstFrameMs, "ms",
              "between presented frames");
}

}  // namespace

// The processor as the kernel reports it: its name, then its family and model, which tell apart
// the processors that a virtual machine names alike; "unknown" without /proc/cpuinfo.
std::string cpuName() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line, name, family, model;
    auto value = [&line](const char* key, std::string& into) {
        if (into.empty() && line.rfind(key, 0) == 0 && line.find(':') != std::string::npos)
            into = line.substr(std::min(line.size(), line.find(':') + 2));
    };
    while (std::getline(cpuinfo, line) && !line.empty()) {
        value("model name", name);
        value("cpu family", family);
        value("model\t", model);
    }
    if (name.empty())
        return "unknown";
    return family.empty() ? name : name + " (family " + family + ", model " + model + ")";
}

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
    const char* missing = nullptr;
    if (!tw::loadGlExtensions(tw::OffscreenContext::resolve, &missing)) {
        std::fprintf(stderr, "tidewatch-bench: the GL lacks %s\n", missing);
        return 1;
    }
    std::printf("GL: %s, %s\n", reinterpret_cast<const char*>(glGetString(GL_RENDERER)),
                reinterpret_cast<const char*>(glGetString(GL_VERSION)));
    // llvmpipe's figures follow the processor, whose balance of arithmetic to memory can move the
    // scene's speed-up more than a change to the shaders does: tables from two machines differ.
    std::printf("CPU: %s, %u threads\n", cpuName().c_str(), std::thread::hardware_concurrency());

    tw::timeCpu(options.cpuTime);
    tw::BenchTable table;
    prepareGl(table);
    timeScenePassReady(table);
    timeTileLayout(table, options);
    const tw::SceneProgramSource plain = tw::plainSceneProgramSource();
    const tw::SceneProgramSource scene = tw::sceneProgramSource();
    timeProgramBuild(table, "scene plain", plain.vertex, plain.fragment);
    timeProgramBuild(table, "scene", scene.vertex, scene.fragment);
    if (!options.sceneOnly) {
        timeProgramBuild(table, "FXAA", tw::fxaaVertexSource, tw::fxaaFragmentSource);
        timeProgramBuild(table, "post-effect", tw::passthroughVertexSource,
                         tw::postFxFragmentSource);
    }
    for (const auto& size : kSizes)
        timePasses(table, options, size[0], size[1]);
    if (options.intro && !options.sceneOnly) {
        timeGenerators(table);
        timeIntro(table);
    }
    table.print(stdout);
    return 0;
}

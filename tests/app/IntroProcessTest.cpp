// The real intro process under the private Xvfb: the resolution steps of the running intro, and its
// start with no shader cache on screens of its smaller sizes. (Its window, keys, endings and
// start-up failures are tests/reliability's.)
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <sstream>
#include <string>

#include "support/Process.h"
#include "support/TestServices.h"

namespace tw::test {
namespace {

// Mean brightness (0..1) of a rectangle of a PNG file, measured by ImageMagick.
double meanBrightness(const std::string& png, int x, int y, int w, int h) {
    const std::string crop = std::to_string(w) + "x" + std::to_string(h) + "+" + std::to_string(x) +
                             "+" + std::to_string(y);
    const ProcessResult result = runProcess(
        {"convert", png, "-crop", crop, "+repage", "-format", "%[fx:mean]", "info:"}, {}, 30);
    return result.exitStatus == 0 ? std::stod(result.out) : -1.0;
}

// The full-size intro is slow under llvmpipe, so the frame loop lowers the rendering size (when
// a step is due is the pure function's test), 128 columns a step; the finished frame still covers
// the whole window (no black band at an edge) with the vignette darkening the border.
TEST(IntroProcess, ResolutionStepsDownAndFrameCoversTheWindow) {
    useTestServices();
    ChildProcess intro({TW_INTRO_HARNESS, "--trace"});
    ASSERT_TRUE(waitForWindow(30));
    sleepFor(8);  // the frame loop's time to step its size down
    const std::string png = makeTestDir("intro-screenshot") + "/intro.png";
    // A loaded machine may show nothing yet: the screen is taken again until its middle is lit.
    double middle = 0;
    for (int i = 0; i < 30; ++i) {
        ASSERT_EQ(runProcess({"import", "-window", "root", png}, {}, 30).exitStatus, 0);
        middle = meanBrightness(png, 760, 440, 400, 200);
        if (middle > 0.02)
            break;
        sleepFor(1);
    }
    pressKeys({"Escape"});
    const ProcessResult ended = intro.wait(20);
    EXPECT_TRUE(ended.exited && ended.exitStatus == 0 && ended.out.empty()) << ended.err;
    std::istringstream lines(ended.err);

    int frames = 0, steps = 0, frame = 0, width = 0, height = 0, lastWidth = 1920;
    double time = 0, lastTime = 0;
    for (std::string line; std::getline(lines, line);) {
        if (std::sscanf(line.c_str(), "frame %d time %lf size %dx%d", &frame, &time, &width,
                        &height) != 4)
            continue;
        EXPECT_GE(time, lastTime) << "scene time runs backwards at frame " << frame;
        EXPECT_TRUE(frames > 0 || time < 0.5) << "scene time starts at " << time;
        if (width != lastWidth) {
            EXPECT_EQ(width, lastWidth - 128) << "frame " << frame;
            ++steps;
        }
        ++frames;
        lastWidth = width;
        lastTime = time;
    }
    ASSERT_GE(frames, 3);
    EXPECT_GT(steps, 0) << "the frame loop never lowered the rendering size";
    for (const auto& edge : {std::array<int, 4>{0, 0, 1920, 4},
                             {0, 1076, 1920, 4},
                             {0, 0, 4, 1080},
                             {1916, 0, 4, 1080}}) {
        const double mean = meanBrightness(png, edge[0], edge[1], edge[2], edge[3]);
        EXPECT_GT(mean, 0.02) << "an edge is black: the frame does not cover the window";
        EXPECT_LT(mean, middle * 0.8) << "the border is not darker than the middle";
    }
}

struct ScreenSize {
    int width;
    int height;
};

void PrintTo(const ScreenSize& size, std::ostream* out) {
    *out << size.width << "x" << size.height;
}

class IntroColdStart : public ::testing::TestWithParam<ScreenSize> {};

// With no shader cache, as on a first launch, every program is built and drawn once before the
// frame loop's clock starts (llvmpipe compiles at the first draw, up to 0.3 s a program), so the
// calibration times frames of the scene only: no frame builds a program or draws with one for the
// first time, and the first frame has the screen's size. How fast the frames then are depends on
// the machine's load, so whether the size holds afterwards is the bench's to show, not a test's.
TEST_P(IntroColdStart, NoProgramBuiltOrFirstDrawnOnTheClock) {
    useTestServices();  // the sound server
    const ScreenSize screen = GetParam();
    const std::string dir = makeTestDir("cold-start-" + std::to_string(screen.width));
    std::unique_ptr<ChildProcess> xvfb;
    const std::string display = startXvfb(
        xvfb, dir, std::to_string(screen.width) + "x" + std::to_string(screen.height) + "x24");
    ASSERT_FALSE(display.empty());

    const ProcessResult run =
        runProcess({TW_INTRO_HARNESS, "--trace", "--until", "1"},
                   {{"DISPLAY", display}, {"MESA_SHADER_CACHE_DISABLE", "true"}}, 180);
    ASSERT_TRUE(run.exited && run.exitStatus == 0) << run.out << run.err;
    std::istringstream lines(run.err);
    int frames = 0, frame = 0, width = 0, height = 0;
    long builds = 0, draws = 0;
    double time = 0;
    for (std::string line; std::getline(lines, line);) {
        if (std::sscanf(line.c_str(), "frame %d time %lf size %dx%d late builds %ld draws %ld",
                        &frame, &time, &width, &height, &builds, &draws) != 6)
            continue;
        if (frames++ == 0) {
            EXPECT_EQ(width, screen.width);
            EXPECT_EQ(height, screen.height);
        }
        ASSERT_EQ(builds, 0) << "programs built by frame " << frame << " at " << time << " s";
        ASSERT_EQ(draws, 0) << "programs first drawn with by frame " << frame << " at " << time
                            << " s";
    }
    EXPECT_GE(frames, 2) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Screens, IntroColdStart,
                         ::testing::Values(ScreenSize{384, 216}, ScreenSize{512, 288}));

}  // namespace
}  // namespace tw::test

// The real intro process under the private Xvfb: the resolution steps of the running intro. (Its
// window, keys, endings and start-up failures are tests/reliability's.)
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

// The frame loop lowers the slow full-size intro's rendering size 128 columns a step from the
// screen's at the first frame; no frame builds a program or draws with one for the first time;
// the finished frame still covers the whole window, its border darkened by the vignette.
TEST(IntroProcess, ResolutionStepsDownAndFrameCoversTheWindow) {
    useTestServices();
    ChildProcess intro({TW_INTRO_HARNESS, "--trace"});
    ASSERT_TRUE(waitForWindow(30));
    sleepFor(8);  // the frame loop's time to step its size down
    const std::string png = makeTestDir("intro-screenshot") + "/intro.png";
    // A loaded machine may show nothing yet: the screen is taken again until its middle is lit.
    double middle = 0;
    const auto lit = [&] {
        return runProcess({"import", "-window", "root", png}, {}, 30).exitStatus == 0 &&
               (middle = meanBrightness(png, 760, 440, 400, 200)) > 0.02;
    };
    waitUntil(30, lit, 1.0);
    pressKeys({"Escape"});
    const ProcessResult ended = intro.wait(20);
    EXPECT_TRUE(ended.exited && ended.exitStatus == 0 && ended.out.empty()) << ended.err;
    std::istringstream lines(ended.err);

    int frames = 0, steps = 0, frame = 0, width = 0, height = 0, lastWidth = 1920;
    long builds = 0, draws = 0;
    double time = 0, lastTime = 0;
    for (std::string line; std::getline(lines, line);) {
        if (std::sscanf(line.c_str(), "frame %d time %lf size %dx%d late builds %ld draws %ld",
                        &frame, &time, &width, &height, &builds, &draws) != 6)
            continue;
        EXPECT_GE(time, lastTime) << "scene time runs backwards at frame " << frame;
        EXPECT_TRUE(frames > 0 || (time < 0.5 && width == 1920 && height == 1080))
            << "the first frame at " << time << " s, " << width << "x" << height;
        EXPECT_EQ(builds + draws, 0) << "programs built or first drawn by frame " << frame;
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

}  // namespace
}  // namespace tw::test

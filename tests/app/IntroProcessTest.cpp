// The real intro process under the private Xvfb: window, cursor, keys, start-up failures and the
// resolution steps of the running intro.
#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/Process.h"
#include "support/TestServices.h"
#include "support/X11Probe.h"

namespace tw::test {
namespace {

const std::string kHarness = TW_INTRO_HARNESS;

class IntroProcess : public ::testing::Test {
  protected:
    void SetUp() override { useTestServices(); }

    // Starts the intro and returns its window's id once the window is mapped ("" after 30 s): keys
    // pressed before then go elsewhere.
    std::string start(const std::vector<std::string>& argv) {
        intro = std::make_unique<ChildProcess>(argv);
        for (int i = 0; i < 300; ++i) {
            const ProcessResult found = runProcess(
                {"xdotool", "search", "--onlyvisible", "--name", "^Vendrel - Tidewatch$"}, {}, 5);
            if (found.exitStatus == 0 && !found.out.empty())
                return found.out.substr(0, found.out.find('\n'));
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return "";
    }

    // Escape ends the intro promptly, as cleanly as exitsCleanly() asks.
    ProcessResult escape() {
        pressKeys({"Escape"});
        return exitsCleanly(intro->wait(20));
    }

    // Ended by itself with status 0 and nothing on standard output.
    static ProcessResult exitsCleanly(const ProcessResult& result) {
        EXPECT_TRUE(result.exited);
        EXPECT_EQ(result.exitStatus, 0) << result.err;
        EXPECT_EQ(result.out, "");
        return result;
    }

    std::unique_ptr<ChildProcess> intro;
};

// The window covers the 1920x1080 screen at its origin, with the intro's title, and hides the
// cursor over it (before it opens, the server's cursor shows).
TEST_F(IntroProcess, WindowCoversTheScreenWithItsTitleAndNoCursor) {
    EXPECT_FALSE(cursorInvisibleAt(100, 100)) << "the root window's cursor should be visible";
    const std::string id = start({TW_INTRO_PATH});
    ASSERT_FALSE(id.empty());
    const std::string info = runProcess({"xwininfo", "-id", id}, {}, 10).out;
    for (const char* line : {"Absolute upper-left X:  0\n", "Absolute upper-left Y:  0\n",
                             "Width: 1920\n", "Height: 1080\n", "\"Vendrel - Tidewatch\""})
        EXPECT_NE(info.find(line), std::string::npos) << line << " not in\n" << info;
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(cursorInvisibleAt(100, 100));
    escape();
}

// The size hints forbid resizing: minimum and maximum size are both the window's size.
TEST_F(IntroProcess, WindowIsNotResizable) {
    const std::string id = start({kHarness, "--window", "640x360"});
    ASSERT_FALSE(id.empty());
    const std::string hints = runProcess({"xprop", "-id", id, "WM_NORMAL_HINTS"}, {}, 10).out;
    EXPECT_NE(hints.find("minimum size: 640 by 360"), std::string::npos) << hints;
    EXPECT_NE(hints.find("maximum size: 640 by 360"), std::string::npos) << hints;
    escape();
}

// Other keys do nothing; only Escape ends the intro.
TEST_F(IntroProcess, OnlyEscapeCloses) {
    ASSERT_FALSE(start({TW_INTRO_PATH}).empty());
    pressKeys({"a", "Return", "space", "q"});
    // A close request ends the intro only after the frame in flight: seconds at full size here.
    std::this_thread::sleep_for(std::chrono::seconds(6));
    ASSERT_TRUE(intro->running()) << "ended before Escape: " << intro->wait(0).err;
    escape();
}

// Start-up failures print their line and exit 1; a missing GL entry point, also one that
// nothing calls, stops start-up before the first resource (the harness reports the quad buffer).
TEST_F(IntroProcess, StartupFailuresPrintTheirLine) {
    const struct {
        std::vector<std::string> argv;
        std::map<std::string, std::string> env;
        std::string line;
    } rows[] = {
        {{TW_INTRO_PATH}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}, "glfwInit failed\n"},
        {{kHarness, "--missing", "glPointParameterf"}, {}, "Load OGL extensions : ERROR\n"}};
    for (const auto& row : rows) {
        const ProcessResult result = runProcess(row.argv, row.env, 30);
        EXPECT_TRUE(result.exited) << row.argv.back();
        EXPECT_EQ(result.out, row.line) << row.argv.back();
        EXPECT_EQ(result.exitStatus, 1) << row.argv.back();
        if (row.argv[0] == kHarness) {
            EXPECT_NE(result.err.find("quad buffer 0\n"), std::string::npos) << result.err;
        }
    }
}

// Mean brightness (0..1) of a rectangle of a PNG file, measured by ImageMagick.
double meanBrightness(const std::string& png, int x, int y, int w, int h) {
    const std::string crop = std::to_string(w) + "x" + std::to_string(h) + "+" + std::to_string(x) +
                             "+" + std::to_string(y);
    const ProcessResult result = runProcess(
        {"convert", png, "-crop", crop, "+repage", "-format", "%[fx:mean]", "info:"}, {}, 30);
    return result.exitStatus == 0 ? std::stod(result.out) : -1.0;
}

// A resolution step comes only after more than half a second with at most 19 frames, the frame
// of the step is rendered at the new size, and the finished frame still covers the whole window
// (no black band at an edge) with the vignette darkening the border.
TEST_F(IntroProcess, ResolutionStepsOnlyWhenSlowAndFrameCoversTheWindow) {
    ASSERT_FALSE(start({kHarness, "--trace"}).empty());
    std::this_thread::sleep_for(std::chrono::seconds(8));
    const std::string png = makeTestDir("intro-screenshot") + "/intro.png";
    ASSERT_EQ(runProcess({"import", "-window", "root", png}, {}, 30).exitStatus, 0);
    std::istringstream lines(escape().err);

    int frames = 0, lastStepFrame = 0, frame = 0, width = 0, height = 0, lastWidth = 1920;
    double time = 0, lastTime = 0, lastStepTime = 0;
    for (std::string line; std::getline(lines, line);) {
        if (std::sscanf(line.c_str(), "frame %d time %lf size %dx%d", &frame, &time, &width,
                        &height) != 4)
            continue;
        EXPECT_GE(time, lastTime) << "scene time runs backwards at frame " << frame;
        EXPECT_TRUE(frames > 0 || time < 0.5) << "scene time starts at " << time;
        if (width != lastWidth) {
            EXPECT_EQ(width, lastWidth - 128) << "frame " << frame;
            EXPECT_LE(frame - lastStepFrame, 19) << "step at frame " << frame;
            EXPECT_GT(time - lastStepTime, 0.45) << "step at frame " << frame;
            lastStepFrame = frame;
            lastStepTime = time;
        }
        ++frames;
        lastWidth = width;
        lastTime = time;
    }
    ASSERT_GE(frames, 3);
    const double middle = meanBrightness(png, 760, 440, 400, 200);
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

// The real intro process under the private Xvfb: window, keys, start-up failures, calibration.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include "support/Process.h"
#include "support/TestServices.h"
#include "support/X11Probe.h"

namespace tw::test {
namespace {

const std::string kHarness = std::string(TW_BINARY_DIR) + "/tests/app/intro_harness";

class IntroProcess : public ::testing::Test {
  protected:
    void SetUp() override { useTestServices(); }
};

// Waits until the intro's window exists; returns its X window id, or "" after `seconds`.
std::string waitForWindow(double seconds) {
    const int tries = static_cast<int>(seconds * 10);
    for (int i = 0; i < tries; ++i) {
        ProcessResult found =
            runProcess({"xdotool", "search", "--name", "^Vendrel - Tidewatch$"}, {}, 5);
        if (found.exitStatus == 0 && !found.out.empty()) {
            return found.out.substr(0, found.out.find('\n'));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "";
}

ProcessResult xdotool(const std::vector<std::string>& args) {
    std::vector<std::string> argv = {"xdotool"};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProcess(argv, {}, 10);
}

// The window covers the 1920x1080 screen at its origin, with the intro's title.
TEST_F(IntroProcess, WindowCoversTheScreenWithItsTitle) {
    ChildProcess intro({TW_INTRO_PATH});
    const std::string id = waitForWindow(30);
    ASSERT_FALSE(id.empty()) << intro.wait(1).out;
    ProcessResult info = runProcess({"xwininfo", "-id", id}, {}, 10);
    EXPECT_NE(info.out.find("Absolute upper-left X:  0"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Absolute upper-left Y:  0"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Width: 1920"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Height: 1080"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("\"Vendrel - Tidewatch\""), std::string::npos) << info.out;
    pressKeys({"Escape"});
    EXPECT_EQ(intro.wait(20).exitStatus, 0);
}

// The size hints forbid resizing: minimum and maximum size are both the screen size.
TEST_F(IntroProcess, WindowIsNotResizable) {
    ChildProcess intro({kHarness, "--window", "640x360"});
    const std::string id = waitForWindow(30);
    ASSERT_FALSE(id.empty());
    ProcessResult hints = runProcess({"xprop", "-id", id, "WM_NORMAL_HINTS"}, {}, 10);
    EXPECT_NE(hints.out.find("minimum size: 640 by 360"), std::string::npos) << hints.out;
    EXPECT_NE(hints.out.find("maximum size: 640 by 360"), std::string::npos) << hints.out;
    pressKeys({"Escape"});
    EXPECT_EQ(intro.wait(20).exitStatus, 0);
}

// Over the intro's window the cursor is invisible; before it opens, the server's cursor shows.
TEST_F(IntroProcess, CursorIsHiddenOverTheWindow) {
    EXPECT_FALSE(cursorInvisibleAt(100, 100)) << "the root window's cursor should be visible";
    ChildProcess intro({TW_INTRO_PATH});
    ASSERT_FALSE(waitForWindow(30).empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_TRUE(cursorInvisibleAt(100, 100));
    pressKeys({"Escape"});
    EXPECT_EQ(intro.wait(20).exitStatus, 0);
}

// The window system's close request ends the intro like Escape: status 0, nothing printed.
TEST_F(IntroProcess, CloseRequestExitsCleanly) {
    ChildProcess intro({TW_INTRO_PATH});
    const std::string id = waitForWindow(30);
    ASSERT_FALSE(id.empty());
    ASSERT_TRUE(sendCloseRequest(id));
    const ProcessResult result = intro.wait(20);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, "");
}

// Other keys and key releases do nothing; Escape ends the intro with status 0, promptly.
TEST_F(IntroProcess, OnlyEscapeCloses) {
    ChildProcess intro({kHarness, "--trace"});
    const std::string id = waitForWindow(30);
    ASSERT_FALSE(id.empty());
    pressKeys({"a", "Return", "space", "q"});
    xdotool({"mousemove", "5", "5", "keyup", "Escape"});
    std::this_thread::sleep_for(std::chrono::seconds(1));
    if (!intro.running()) {
        const ProcessResult early = intro.wait(0);
        FAIL() << "the intro ended before Escape: status " << early.exitStatus << " signal "
               << early.signal << "\n"
               << early.out << early.err.substr(0, 2000);
    }
    pressKeys({"Escape"});
    ProcessResult result = intro.wait(20);
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(result.out, "");
}

// With no X server, GLFW cannot start: its line, status 1.
TEST_F(IntroProcess, NoDisplayFailsWithItsLine) {
    ProcessResult result = runProcess({TW_INTRO_PATH}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}});
    EXPECT_TRUE(result.exited);
    EXPECT_EQ(result.out, "glfwInit failed\n");
    EXPECT_EQ(result.exitStatus, 1);
}

// A GL lacking one of the 35 entry points: its line, status 1, and no later step ran.
TEST_F(IntroProcess, MissingEntryPointFailsBeforeAnyResource) {
    for (const char* name :
         {"glCreateProgramObjectARB", "glProgramParameteriEXT", "glPointParameterf"}) {
        ProcessResult result = runProcess({kHarness, "--missing", name}, {}, 30);
        EXPECT_TRUE(result.exited) << name;
        EXPECT_EQ(result.out, "Load OGL extensions : ERROR\n") << name;
        EXPECT_EQ(result.exitStatus, 1) << name;
        EXPECT_NE(result.err.find("quad buffer 0\n"), std::string::npos) << name << result.err;
    }
}

// Mean brightness (0..1) of a rectangle of a PNG file, measured by ImageMagick.
double meanBrightness(const std::string& png, int x, int y, int w, int h) {
    const std::string crop = std::to_string(w) + "x" + std::to_string(h) + "+" + std::to_string(x) +
                             "+" + std::to_string(y);
    ProcessResult result = runProcess(
        {"convert", png, "-crop", crop, "+repage", "-format", "%[fx:mean]", "info:"}, {}, 30);
    return result.exitStatus == 0 ? std::stod(result.out) : -1.0;
}

// A screenshot of the running intro after its resolution steps: the finished frame covers the
// whole window (no black band at any edge) and the vignette darkens the border against the middle.
TEST_F(IntroProcess, FinishedFrameCoversTheWindowWithVignette) {
    ChildProcess intro({TW_INTRO_PATH});
    ASSERT_FALSE(waitForWindow(30).empty());
    std::this_thread::sleep_for(std::chrono::seconds(10));
    const std::string png = makeTestDir("intro-screenshot") + "/intro-10s.png";
    ASSERT_EQ(runProcess({"import", "-window", "root", png}, {}, 30).exitStatus, 0);
    pressKeys({"Escape"});
    EXPECT_EQ(intro.wait(20).exitStatus, 0);

    const double middle = meanBrightness(png, 760, 440, 400, 200);
    const double edges[4] = {
        meanBrightness(png, 0, 0, 1920, 4), meanBrightness(png, 0, 1076, 1920, 4),
        meanBrightness(png, 0, 0, 4, 1080), meanBrightness(png, 1916, 0, 4, 1080)};
    for (double edge : edges) {
        EXPECT_GT(edge, 0.02) << "an edge of the window is black: the frame does not cover it";
        EXPECT_LT(edge, middle * 0.8) << "the border is not darker than the middle";
    }
    std::printf("screenshot %s: middle %.3f, edges %.3f %.3f %.3f %.3f\n", png.c_str(), middle,
                edges[0], edges[1], edges[2], edges[3]);
}

struct FrameLine {
    int frame;
    double time;
    int width;
    int height;
};

// In the running intro a resolution step comes only after more than half a second during which
// at most 19 frames finished, and the frame of the step is already rendered at the new size.
TEST_F(IntroProcess, CalibrationStepsOnlyWhenSlow) {
    ChildProcess intro({kHarness, "--trace"});
    std::this_thread::sleep_for(std::chrono::seconds(6));
    const std::string id = waitForWindow(30);
    ASSERT_FALSE(id.empty());
    pressKeys({"Escape"});
    ProcessResult result = intro.wait(30);
    ASSERT_EQ(result.exitStatus, 0);

    std::vector<FrameLine> frames;
    std::istringstream lines(result.err);
    std::string line;
    while (std::getline(lines, line)) {
        FrameLine f{};
        if (std::sscanf(line.c_str(), "frame %d time %lf size %dx%d", &f.frame, &f.time, &f.width,
                        &f.height) == 4) {
            frames.push_back(f);
        }
    }
    ASSERT_GE(frames.size(), 3u);
    EXPECT_LT(frames.front().time, 0.5) << "scene time starts near 0 at the first frame";
    EXPECT_EQ(frames.front().width, 1920);
    int steps = 0;
    double lastStepTime = 0.0;
    int lastStepFrame = 0;
    for (size_t i = 1; i < frames.size(); ++i) {
        EXPECT_GE(frames[i].time, frames[i - 1].time) << "scene time runs backwards";
        if (frames[i].width == frames[i - 1].width)
            continue;
        ++steps;
        EXPECT_EQ(frames[i].width, frames[i - 1].width - 128);
        // The step is decided just before frame i renders: the frames counted are those since
        // the previous step, and their time exceeds half a second.
        EXPECT_LE(frames[i].frame - lastStepFrame, 19) << "step at frame " << frames[i].frame;
        EXPECT_GT(frames[i].time - lastStepTime, 0.45) << "step at frame " << frames[i].frame;
        lastStepTime = frames[i].time;
        lastStepFrame = frames[i].frame;
    }
    // Whatever this machine does, the size only ever goes down and never below the last step.
    EXPECT_GE(frames.back().width, 256);
    std::printf("calibration: %d steps, settled at %dx%d after %zu frames\n", steps,
                frames.back().width, frames.back().height, frames.size());
}

}  // namespace
}  // namespace tw::test

// The release archives' programs where the build's own would not run: with the host's GLFW,
// libxmp and libpng hidden, inside a minimal Debian 13 and on a Wayland desktop through XWayland;
// the recorder on Mesa's second software driver, for both scene programs; and the arm64
// archive's programs under qemu, on Debian's arm64 Mesa and ALSA.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "support/FaultRun.h"
#include "support/PixelProbe.h"
#include "support/Process.h"
#include "support/TestServices.h"
#include "support/X11Probe.h"

namespace tw::test {
namespace {

using Env = std::map<std::string, std::string>;

// A machine's archive as users get it, unpacked once per test program.
std::string archiveDir(const std::string& machine = "x86_64") {
    static std::map<std::string, std::string> dirs;
    if (dirs.count(machine) == 0) {
        const std::string out = makeTestDir("portable-archive-" + machine);
        const std::string archive =
            std::string(TW_RELEASE_DIR) + "/tidewatch-linux-" + machine + ".tar.gz";
        const ProcessResult r = runProcess({"tar", "xzf", archive, "-C", out});
        EXPECT_EQ(r.exitStatus, 0) << r.err;
        dirs[machine] = out + "/tidewatch";
    }
    return dirs[machine];
}

// The arm64 archive's `program` run by qemu against Debian's arm64 libraries.
std::vector<std::string> underQemu(const std::string& program) {
    return {"qemu-aarch64-static", archiveDir("aarch64") + "/" + program};
}

// The whole host, with /dev/null over every file of the libraries the archive carries inside.
std::vector<std::string> hidingHostLibraries() {
    std::vector<std::string> argv = {"bwrap", "--dev-bind", "/", "/"};
    for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/x86_64-linux-gnu")) {
        const std::string name = entry.path().filename();
        for (const char* library : {"libglfw.so", "libxmp.so", "libpng16.so"}) {
            if (name.rfind(library, 0) == 0)
                argv.insert(argv.end(), {"--bind", "/dev/null", entry.path()});
        }
    }
    return argv;
}

// A minimal Debian 13 (made once, kept in the build folder) with the archive and `out` at their
// paths here.
std::vector<std::string> insideDebian13(const std::string& out) {
    const std::string root = std::string(TW_BINARY_DIR) + "/debian13";
    const ProcessResult made =
        runProcess({std::string(TW_SOURCE_DIR) + "/scripts/debian13-root.sh", root}, {}, 900);
    EXPECT_EQ(made.exitStatus, 0) << made.out << made.err;
    // /tmp first: the build folder may lie under it.
    std::vector<std::string> argv = {"bwrap", "--bind", root, "/", "--tmpfs", "/tmp"};
    argv.insert(argv.end(), {"--dev", "/dev", "--proc", "/proc", "--bind", out, out});
    argv.insert(argv.end(), {"--ro-bind", archiveDir(), archiveDir()});
    return argv;
}

// One 320x180 frame at `seconds` from `argv` (a wrapper and the recorder) into the folder `out`.
Image recordFrame(std::vector<std::string> argv, Env env, int seconds, const std::string& out) {
    argv.insert(argv.end(), {"--size", "320x180", "--fps", "1", "--seconds", "1", "--start",
                             std::to_string(seconds), "--frames", out});
    env["DISPLAY"] = "";
    const ProcessResult run = runProcess(argv, env, 600);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    // The injected low limits must reach the program, or the fallback row repeats the fast one.
    EXPECT_EQ(env.count("TW_FAULT") == 1, run.err.find("plain scene program") != std::string::npos)
        << run.err;
    Image image;
    EXPECT_TRUE(readPng(out + "/frame-000000.png", image)) << out;
    return image;
}

enum class Where { HostLibrariesHidden, Debian13, Softpipe, Qemu };
struct FrameRow {
    const char* name;
    Where where;
    bool fallback;  // the GL reports the old minimums, so the plain scene program draws
    int levels;     // picturesAgree's tolerance
    double share;
    std::vector<int> seconds;
};
class ArchiveFrames : public ::testing::TestWithParam<FrameRow> {};

// The frames equal those of the build's recorder under llvmpipe on this host, with the same
// scene program.
TEST_P(ArchiveFrames, MatchTheBuildsRecorder) {
    const FrameRow& row = GetParam();
    const std::string dir = makeTestDir(std::string("portable-frames-") + row.name);
    const Env reference = row.fallback ? withFault("low-limits") : Env{};
    Env env = reference;
    std::vector<std::string> argv = {TW_RECORD_PATH};
    if (row.where == Where::Softpipe) {
        env["GALLIUM_DRIVER"] = "softpipe";
    } else if (row.where == Where::Qemu) {
        argv = underQemu("tidewatch-record");
    } else {
        argv = row.where == Where::Debian13 ? insideDebian13(dir) : hidingHostLibraries();
        argv.push_back(archiveDir() + "/tidewatch-record");
    }
    for (const int seconds : row.seconds) {
        const std::string at = std::to_string(seconds);
        SCOPED_TRACE(at + " s");
        EXPECT_TRUE(
            picturesAgree(recordFrame(argv, env, seconds, dir + "/at-" + at),
                          recordFrame({TW_RECORD_PATH}, reference, seconds, dir + "/ref-" + at),
                          row.levels, row.share, std::string("portable-") + row.name + "-" + at));
    }
}

// Hidden libraries give the same frame bit for bit; another Mesa or driver is held to the
// scene references' tolerance; another processor's compiler and llvmpipe to 99 % of the values
// within 8 levels.
INSTANTIATE_TEST_SUITE_P(
    Release, ArchiveFrames,
    ::testing::Values(
        FrameRow{"HostLibrariesHidden", Where::HostLibrariesHidden, false, 0, 0, {20}},
        FrameRow{"Debian13", Where::Debian13, false, 4, 0.02, {20}},
        FrameRow{"Softpipe", Where::Softpipe, false, 4, 0.02, {20, 47}},
        FrameRow{"SoftpipeFallback", Where::Softpipe, true, 4, 0.02, {20, 47}},
        FrameRow{"Arm64Qemu", Where::Qemu, false, 8, 0.01, {20}}),
    [](const auto& info) { return std::string(info.param.name); });

// The hiding works: the build's own recorder cannot start under it.
TEST(HiddenHostLibraries, StopTheBuildsRecorder) {
    std::vector<std::string> argv = hidingHostLibraries();
    argv.insert(argv.end(), {TW_RECORD_PATH, "--version"});
    const ProcessResult r = runProcess(argv);
    EXPECT_NE(r.exitStatus, 0);
    EXPECT_NE(r.err.find("error while loading shared libraries"), std::string::npos) << r.err;
}

// Starts weston's headless desktop with XWayland at the size given; returns its X display, or "".
std::string startWeston(std::unique_ptr<ChildProcess>& weston, int width, int height) {
    const std::string dir = makeTestDir("portable-weston");
    weston = std::make_unique<ChildProcess>(
        std::vector<std::string>{"weston", "--backend=headless-backend.so", "--xwayland",
                                 "--width=" + std::to_string(width),
                                 "--height=" + std::to_string(height), "--socket=tidewatch-test",
                                 "--log=" + dir + "/weston.log"},
        Env{{"XDG_RUNTIME_DIR", dir}, {"WAYLAND_DISPLAY", ""}});
    const std::regex listening("xserver listening on display (:[0-9]+)");
    for (int i = 0; i < 100; ++i, sleepFor(0.1)) {
        std::smatch match;
        const std::string log = readFile(dir + "/weston.log");
        if (std::regex_search(log, match, listening))
            return match[1];
    }
    ADD_FAILURE() << "weston opened no X display:\n" << readFile(dir + "/weston.log");
    return "";
}

enum class Screen { TestXvfb, WestonXWayland, SmallXvfb };
struct WindowRow {
    const char* name;
    Screen screen;
    int width;
    int height;
    bool arm64;  // the arm64 archive's intro under qemu, its sound through the arm64 ALSA plugin
};
class ArchiveIntro : public ::testing::TestWithParam<WindowRow> {
  protected:
    void SetUp() override { useTestServices(); }
};

// The archive's intro, with the host's GLFW, libxmp and libpng hidden, covers the screen (on the
// Wayland desktop: its output, through XWayland), hides the cursor, and Escape ends it with 0.
// The arm64 intro does the same under qemu, and its music reaches the tests' sound server.
TEST_P(ArchiveIntro, CoversTheScreenHidesTheCursorAndEndsOnEscape) {
    const WindowRow& row = GetParam();
    const std::string xvfb = std::getenv("DISPLAY");
    std::unique_ptr<ChildProcess> server;
    if (row.screen != Screen::TestXvfb) {
        const std::string display =
            row.screen == Screen::WestonXWayland
                ? startWeston(server, row.width, row.height)
                : startXvfb(server, makeTestDir("portable-xvfb"),
                            std::to_string(row.width) + "x" + std::to_string(row.height) + "x24",
                            "");
        ASSERT_FALSE(display.empty());
        setenv("DISPLAY", display.c_str(), 1);
    }
    std::vector<std::string> argv = underQemu("tidewatch");
    if (!row.arm64) {
        argv = hidingHostLibraries();
        argv.push_back(archiveDir() + "/tidewatch");
    }
    ChildProcess intro(argv);
    // Under qemu the shaders alone take a while to compile.
    ASSERT_TRUE(waitForWindow(row.arm64 ? 180 : 30, true)) << intro.wait(0).err;
    if (row.arm64)
        EXPECT_TRUE(waitForMusic(60)) << "no sound reached the server";
    // A window manager may show it as a plain window first and full screen a moment later.
    const std::vector<std::string> lines = {"Absolute upper-left X:  0\n",
                                            "Absolute upper-left Y:  0\n",
                                            "Width: " + std::to_string(row.width) + "\n",
                                            "Height: " + std::to_string(row.height) + "\n"};
    std::string info;
    auto placed = [&] {
        info = runProcess({"xwininfo", "-id", findWindow()}, {}, 10).out;
        return std::all_of(lines.begin(), lines.end(),
                           [&](const std::string& line) { return info.find(line) != info.npos; });
    };
    for (int i = 0; i < 50 && !placed(); ++i)
        sleepFor(0.1);
    EXPECT_TRUE(placed()) << info;
    // weston's headless desktop has no pointer to move: it rests inside the window. The intro
    // hides it once the window is placed, which a loaded machine may take a while to show.
    const auto hidden = [&] {
        return row.screen == Screen::WestonXWayland ? cursorInvisible()
                                                    : cursorInvisibleAt(100, 100);
    };
    for (int i = 0; i < 100 && !hidden(); ++i)
        sleepFor(0.1);
    EXPECT_TRUE(hidden());
    if (row.screen == Screen::WestonXWayland) {
        EXPECT_EQ(runProcess({"xdotool", "key", "Escape"}).exitStatus, 0);
    } else {
        pressKeys({"Escape"});
    }
    // Under qemu a frame takes seconds, and the intro ends after the frame that saw the key.
    const ProcessResult r = intro.wait(row.arm64 ? 120 : 20);
    setenv("DISPLAY", xvfb.c_str(), 1);
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.exitStatus, 0) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Release, ArchiveIntro,
    ::testing::Values(WindowRow{"Xvfb", Screen::TestXvfb, 1920, 1080, false},
                      WindowRow{"WestonXWayland", Screen::WestonXWayland, 1280, 720, false},
                      WindowRow{"Arm64QemuXvfb", Screen::SmallXvfb, 640, 360, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tw::test

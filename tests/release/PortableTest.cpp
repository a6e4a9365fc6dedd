// The release archives' programs where the build's own would not run (the host's GLFW, libxmp and
// libpng hidden, Debian 13, a Wayland desktop, qemu for arm64); the recorder on softpipe.
#include <gtest/gtest.h>

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

// The archive's programs with the host's libraries hidden, in Debian 13 or (arm64) under qemu
// against Debian's arm64 libraries; or the build's recorder.
enum class Where { HostLibrariesHidden, Debian13, Qemu, Build };

// The command that runs `program` as `where` says; `dir` is the test's folder.
std::vector<std::string> runner(Where where, const std::string& program, const std::string& dir) {
    if (where == Where::Qemu)
        return {"qemu-aarch64-static", archiveDir("aarch64") + "/" + program};
    if (where == Where::Build)
        return {TW_RECORD_PATH};
    std::vector<std::string> argv = hidingHostLibraries();
    if (where == Where::Debian13) {
        // A minimal Debian 13 (made once, kept in the build folder) with the archive and `dir` at
        // their paths here; /tmp first, since the build folder may lie under it.
        const std::string root = std::string(TW_BINARY_DIR) + "/debian13";
        const ProcessResult made =
            runProcess({std::string(TW_SOURCE_DIR) + "/scripts/debian13-root.sh", root}, {}, 900);
        EXPECT_EQ(made.exitStatus, 0) << made.out << made.err;
        argv = {"bwrap", "--bind",    root,         "/",         "--tmpfs", "/tmp",
                "--dev", "/dev",      "--proc",     "/proc",     "--bind",  dir,
                dir,     "--ro-bind", archiveDir(), archiveDir()};
    }
    argv.push_back(archiveDir() + "/" + program);
    return argv;
}

struct FrameRow {
    const char* name;
    Where where;
    Env env;
    bool fallback;  // the GL reports the old minimums, so the plain scene program draws
    int levels;     // picturesAgree's tolerance
    double share;
    std::vector<int> seconds;
};
class ArchiveFrames : public ::testing::TestWithParam<FrameRow> {};

// The frames equal the build's recorder's under llvmpipe here, with the same scene program.
TEST_P(ArchiveFrames, MatchTheBuildsRecorder) {
    const FrameRow& row = GetParam();
    const std::string dir = makeTestDir(std::string("portable-frames-") + row.name);
    const std::vector<std::string> argv = runner(row.where, "tidewatch-record", dir);
    for (const int seconds : row.seconds) {
        const std::string at = std::to_string(seconds);
        SCOPED_TRACE(at + " s");
        EXPECT_TRUE(picturesAgree(
            recordFrame(argv, row.env, row.fallback, seconds, dir + "/at-" + at),
            recordFrame({TW_RECORD_PATH}, {}, row.fallback, seconds, dir + "/ref-" + at),
            row.levels, row.share, std::string("portable-") + row.name + "-" + at));
    }
}

// Hidden libraries give the same frame bit for bit; another Mesa or driver (the build's recorder
// on softpipe) is held to the scene references' tolerance; another processor's compiler and
// llvmpipe to 99 % of the values within 8 levels.
const Env kSoftpipe = {{"GALLIUM_DRIVER", "softpipe"}};
INSTANTIATE_TEST_SUITE_P(
    Release, ArchiveFrames,
    ::testing::Values(
        FrameRow{"HostLibrariesHidden", Where::HostLibrariesHidden, {}, false, 0, 0, {20}},
        FrameRow{"Debian13", Where::Debian13, {}, false, 4, 0.02, {20}},
        FrameRow{"Softpipe", Where::Build, kSoftpipe, false, 4, 0.02, {20, 47}},
        FrameRow{"SoftpipeFallback", Where::Build, kSoftpipe, true, 4, 0.02, {20, 47}},
        FrameRow{"Arm64Qemu", Where::Qemu, {}, false, 8, 0.01, {20}}),
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
    std::string log;
    std::smatch match;
    if (waitUntil(10, [&] {
            log = readFile(dir + "/weston.log");
            return std::regex_search(log, match, listening);
        }))
        return match[1];
    ADD_FAILURE() << "weston opened no X display:\n" << log;
    return "";
}

struct WindowRow {
    const char* name;
    Where where;  // HostLibrariesHidden on weston's desktop, or Qemu on a small Xvfb
    int width;
    int height;
};
class ArchiveIntro : public ::testing::TestWithParam<WindowRow> {};

// The archive's intro, with the host's GLFW, libxmp and libpng hidden, covers the screen of the
// Wayland desktop through XWayland, hides the cursor, and Escape ends it with 0; the arm64 intro
// does the same under qemu, and its music (through the arm64 ALSA plugin) reaches the tests' sound
// server. (The build's intro on the tests' Xvfb is RunTimeFault's.)
TEST_P(ArchiveIntro, CoversTheScreenHidesTheCursorAndEndsOnEscape) {
    useTestServices();
    const WindowRow& row = GetParam();
    const bool arm64 = row.where == Where::Qemu;
    std::unique_ptr<ChildProcess> server;
    const std::string size = std::to_string(row.width) + "x" + std::to_string(row.height);
    const std::string display = arm64
                                    ? startXvfb(server, makeTestDir("portable-xvfb"), size + "x24")
                                    : startWeston(server, row.width, row.height);
    ASSERT_FALSE(display.empty());
    setenv("DISPLAY", display.c_str(), 1);
    ChildProcess intro(runner(row.where, "tidewatch", ""));
    // Under qemu the shaders alone take a while to compile; an intro that has ended opens none.
    if (!waitUntil(
            arm64 ? 180 : 30, [&] { return !findWindow().empty() || !intro.running(); }, 0.05) ||
        findWindow().empty()) {
        const ProcessResult r = intro.wait(0);
        // A start-up failure's line goes to standard output, the GL's and ALSA's logs to error.
        FAIL() << "no window; the intro "
               << (r.exited ? "had ended with status " + std::to_string(r.exitStatus)
                            : std::string("was still running"))
               << ":\n"
               << r.out << r.err;
    }
    EXPECT_TRUE(!arm64 || waitForMusic(60)) << "no sound reached the server";
    EXPECT_TRUE(windowCovers(row.width, row.height));
    // The pointer rests inside the window (weston's headless desktop has none to move). The intro
    // hides it once the window is placed, which a loaded machine may take a while to show.
    EXPECT_TRUE(waitUntil(10, cursorInvisible));
    EXPECT_EQ(runProcess({"xdotool", "key", "Escape"}).exitStatus, 0);
    // Under qemu a frame takes seconds, and the intro ends after the frame that saw the key.
    const ProcessResult r = intro.wait(arm64 ? 120 : 20);
    EXPECT_TRUE(r.exited && r.exitStatus == 0) << r.err;
}

INSTANTIATE_TEST_SUITE_P(Release, ArchiveIntro,
                         ::testing::Values(WindowRow{"WestonXWayland", Where::HostLibrariesHidden,
                                                     1280, 720},
                                           WindowRow{"Arm64QemuXvfb", Where::Qemu, 640, 360}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tw::test

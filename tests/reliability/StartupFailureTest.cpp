// Start-up failures of the real intro, end to end: each prints its one line, exits with status 1
// at once, and nothing after it runs. Faults come from outside the program: a display server
// without GLX, the GL compiling replaced shader texts (Mesa's MESA_SHADER_READ_PATH), and a
// preloaded library that makes one library call fail (fault_inject.cpp).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/Timer.h"
#include "reliability/FaultRun.h"
#include "support/MonitorRecording.h"
#include "support/Process.h"
#include "support/TestServices.h"
#include "support/X11Probe.h"

namespace tw::test {
namespace {

class StartupFailure : public ::testing::Test {
  protected:
    void SetUp() override { useTestServices(); }
};

// GLFW reporting no primary monitor (Xvfb always reports one, so the fault library makes the
// call return none): its line, status 1, at once.
TEST_F(StartupFailure, NoPrimaryMonitorFailsWithItsLine) {
    const ProcessResult r = runProcess({TW_INTRO_PATH}, withFault("no-monitor"), 30);
    report("no primary monitor", r, r.seconds);
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.out, "no primary monitor found\n");
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_LT(r.seconds, 5.0);
}

// A display server without the GLX extension: GLFW starts, but no window with a GL context can
// be made: its line, status 1.
TEST_F(StartupFailure, WindowCreationFailureFailsWithItsLine) {
    const std::string dir = makeTestDir("failure-no-glx");
    ChildProcess xvfb({"sh", "-c",
                       "exec Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp "
                       "-extension GLX 3>\"$0\"",
                       dir + "/display"});
    std::string display;
    for (int i = 0; i < 100 && display.empty(); ++i) {
        sleepFor(0.1);
        display = readFile(dir + "/display");
    }
    ASSERT_FALSE(display.empty()) << "the private Xvfb did not start";
    display = ":" + display.substr(0, display.find('\n'));

    const ProcessResult r = runProcess({TW_INTRO_PATH}, {{"DISPLAY", display}}, 30);
    report("window creation fails (no GLX)", r, r.seconds);
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.out, "open window glfwInit failed\n");
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_LT(r.seconds, 10.0);
}

const char* const kBrokenVertex = "#version 120\nvoid main() { gl_Position = missing; }\n";
const char* const kBrokenFragment = "#version 120\nvoid main() { gl_FragColor = missing; }\n";
// Compiles, but reads a varying that no vertex stage writes: only the link fails.
const char* const kUnlinkableFragment =
    "#version 120\nvarying vec4 unwritten;\nvoid main() { gl_FragColor = unwritten; }\n";

// Mesa's file names for the two stages of one pass ("VS_<sha1>.glsl", "FS_<sha1>.glsl"), found by
// building that pass alone with MESA_SHADER_DUMP_PATH set.
struct StageNames {
    std::string vertex;
    std::string fragment;
};

StageNames dumpedStages(const std::string& pass) {
    const std::string dir = makeTestDir("failure-" + pass + "-dump");
    const ProcessResult built =
        runProcess({TW_PASS_BUILD_PROBE, pass}, {{"MESA_SHADER_DUMP_PATH", dir}}, 120);
    EXPECT_EQ(built.exitStatus, 0) << built.err;
    StageNames names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        (name.rfind("VS_", 0) == 0 ? names.vertex : names.fragment) = name;
    }
    EXPECT_FALSE(names.vertex.empty() || names.fragment.empty())
        << "the GL did not dump both stages of " << pass << " (MESA_SHADER_DUMP_PATH)";
    return names;
}

// Each of the three programs failing to compile in either stage and failing to link: the pass's
// line, status 1 and the log on standard error. The GL compiles a replaced text for one stage
// (MESA_SHADER_READ_PATH). A vertex text shared with a pass built earlier would fail that pass
// first in the intro, so such a stage is tried in the test program that builds its pass alone.
TEST_F(StartupFailure, EachShaderCompileAndLinkFailureStopsStartup) {
    struct Pass {
        const char* name;
        const char* line;
    };
    const Pass passes[] = {{"scene", "Raytracer Shader : ERROR"},
                           {"fxaa", "FXAA Shader : ERROR"},
                           {"postfx", "PostFX Shader : ERROR"}};
    std::vector<std::string> earlierVertex;
    for (const Pass& pass : passes) {
        const StageNames names = dumpedStages(pass.name);
        const bool shared = std::find(earlierVertex.begin(), earlierVertex.end(), names.vertex) !=
                            earlierVertex.end();
        earlierVertex.push_back(names.vertex);
        struct Fault {
            const char* what;
            const std::string& file;
            const char* text;
            const char* inLog;
            bool alone;
        };
        const Fault faults[] = {
            {"vertex compile", names.vertex, kBrokenVertex, "missing", shared},
            {"fragment compile", names.fragment, kBrokenFragment, "missing", false},
            {"link", names.fragment, kUnlinkableFragment, "unwritten", false},
        };
        for (const Fault& f : faults) {
            const std::string what = std::string(pass.name) + " " + f.what;
            const std::string readDir = makeTestDir("failure-shader-read");
            std::ofstream(readDir + "/" + f.file) << f.text;
            const std::vector<std::string> argv =
                f.alone ? std::vector<std::string>{TW_PASS_BUILD_PROBE, pass.name}
                        : std::vector<std::string>{TW_INTRO_PATH};
            const ProcessResult r = runProcess(argv, {{"MESA_SHADER_READ_PATH", readDir}}, 120);
            report(what + (f.alone ? " (pass built alone)" : ""), r, r.seconds);
            EXPECT_TRUE(r.exited) << what;
            EXPECT_EQ(r.exitStatus, 1) << what;
            EXPECT_EQ(r.out, std::string(pass.line) + "\n") << what;
            EXPECT_NE(r.err.find(f.inLog), std::string::npos) << what << ": no log: " << r.err;
        }
    }
}

// The module player refusing the module (its header damaged on the way in): its line, status 1.
TEST_F(StartupFailure, RejectedModuleFailsWithItsLine) {
    const ProcessResult r = runProcess({TW_INTRO_PATH}, withFault("module"), 120);
    report("module rejected by the player", r, r.seconds);
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.out, "xmp_load_module\n");
    EXPECT_EQ(r.exitStatus, 1);
}

}  // namespace
}  // namespace tw::test

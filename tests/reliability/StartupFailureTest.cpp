// Start-up failures of the real intro, end to end: each prints its one line, exits with status 1
// at once, and nothing after it runs; and the scene program's fallback where it cannot run.
// Faults come from outside the program: a display server without GLX, the GL compiling replaced
// shader texts (Mesa's MESA_SHADER_READ_PATH), and a preloaded library that makes one library
// call fail or one GL limit read low (fault_inject.cpp).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "embedded/fxaaFragmentSource.h"
#include "embedded/fxaaVertexSource.h"
#include "embedded/passthroughVertexSource.h"
#include "embedded/postFxFragmentSource.h"
#include "passes/SceneShaderSource.h"
#include "passes/plain/PlainScene.h"
#include "reliability/FaultRun.h"
#include "support/PixelProbe.h"
#include "support/Process.h"
#include "support/TestServices.h"
#include "support/X11Probe.h"

namespace tw::test {
namespace {

class StartupFailure : public ::testing::Test {
  protected:
    void SetUp() override { useTestServices(); }
};

// GLFW reporting no primary monitor, or no current video mode for it (Xvfb always reports both,
// so the fault library makes the call return none): its line, status 1, at once.
TEST_F(StartupFailure, MissingMonitorOrVideoModeFailsWithItsLine) {
    const struct {
        const char* fault;
        const char* out;
    } cases[] = {{"no-monitor", "no primary monitor found\n"},
                 {"no-mode", "no video mode found\n"}};
    for (const auto& c : cases) {
        const ProcessResult r = runProcess({TW_INTRO_PATH}, withFault(c.fault), 30);
        report(c.fault, r, r.seconds);
        EXPECT_TRUE(r.exited) << c.fault;
        EXPECT_EQ(r.out, c.out);
        EXPECT_EQ(r.exitStatus, 1) << c.fault;
        EXPECT_LT(r.seconds, 5.0) << c.fault;
    }
}

// The recorder on a GL without an entry point of the table, or one whose pixel buffers do not
// map: a line in its own voice, none of the intro's, status 1, and no output left behind.
TEST_F(StartupFailure, RecorderFailsInItsOwnVoice) {
    const std::string dir = makeTestDir("recorder-voice");
    const struct {
        const char* fault;
        const char* lastLine;
    } cases[] = {
        {"no-fbo", "tidewatch-record: the GL lacks glBindFramebufferEXT\n"},
        {"no-map", "tidewatch-record: the GL could not map the pixel buffer of frame 0\n"}};
    for (const auto& c : cases) {
        auto env = withFault(c.fault);
        env["DISPLAY"] = "";
        const ProcessResult r = runProcess({TW_RECORD_PATH, "--size", "64x36", "--fps", "2",
                                            "--seconds", "2", "--out", dir + "/clip.mp4"},
                                           env, 120);
        report(std::string("recorder, ") + c.fault, r, r.seconds);
        EXPECT_EQ(r.exitStatus, 1) << c.fault;
        EXPECT_EQ(r.out, "") << c.fault;
        const size_t last = r.err.rfind('\n', r.err.size() - 2);
        EXPECT_EQ(r.err.substr(last == std::string::npos ? 0 : last + 1), c.lastLine) << r.err;
        EXPECT_TRUE(std::filesystem::is_empty(dir)) << c.fault;
    }
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

// Mesa's file name for each stage source ("VS_<hash>.glsl", "FS_<hash>.glsl"), learnt once by
// building every program with MESA_SHADER_DUMP_PATH set. A replacement under that name in
// MESA_SHADER_READ_PATH is what the GL then compiles instead.
const std::map<std::string, std::string>& dumpedNames() {
    static const std::map<std::string, std::string> names = [] {
        const std::string dir = makeTestDir("failure-shader-dump");
        const ProcessResult built =
            runProcess({TW_SHADER_DUMP_PROBE}, {{"MESA_SHADER_DUMP_PATH", dir}}, 120);
        EXPECT_EQ(built.exitStatus, 0) << built.err;
        std::map<std::string, std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            found[readFile(entry.path().string())] = entry.path().filename().string();
        return found;
    }();
    return names;
}

// A folder for MESA_SHADER_READ_PATH in which each of `sources` is replaced by `text`.
std::string replacing(const std::vector<std::string>& sources, const char* text) {
    const std::string dir = makeTestDir("failure-shader-read");
    for (const std::string& source : sources) {
        const auto name = dumpedNames().find(source);
        EXPECT_NE(name, dumpedNames().end()) << "Mesa did not dump a stage (MESA_SHADER_DUMP_PATH)";
        if (name != dumpedNames().end())
            std::ofstream(dir + "/" + name->second) << text;
    }
    return dir;
}

// Each pass failing to compile in either stage and failing to link: the pass's line, status 1 and
// the log on standard error. The scene fails only when its fallback fails too.
TEST_F(StartupFailure, EachShaderCompileAndLinkFailureStopsStartup) {
    const SceneProgramSource scene = sceneProgramSource();
    const SceneProgramSource plain = plainSceneProgramSource();
    const struct {
        const char* line;
        std::vector<std::string> vertex, fragment;  // the stage sources a fault replaces
    } passes[] = {
        {"Raytracer Shader : ERROR",
         {scene.vertex, plain.vertex},
         {scene.fragment, plain.fragment}},
        {"FXAA Shader : ERROR", {fxaaVertexSource}, {fxaaFragmentSource}},
        {"PostFX Shader : ERROR", {passthroughVertexSource}, {postFxFragmentSource}},
    };
    const struct {
        const char* what;
        bool vertex;
        const char* text;
        const char* inLog;
    } faults[] = {{"vertex compile", true, kBrokenVertex, "missing"},
                  {"fragment compile", false, kBrokenFragment, "missing"},
                  {"link", false, kUnlinkableFragment, "unwritten"}};
    for (const auto& pass : passes) {
        for (const auto& f : faults) {
            const std::string what = std::string(pass.line) + ", " + f.what;
            const std::string readDir = replacing(f.vertex ? pass.vertex : pass.fragment, f.text);
            const ProcessResult r =
                runProcess({TW_INTRO_PATH}, {{"MESA_SHADER_READ_PATH", readDir}}, 120);
            report(what, r, r.seconds);
            EXPECT_TRUE(r.exited) << what;
            EXPECT_EQ(r.exitStatus, 1) << what;
            EXPECT_EQ(r.out, std::string(pass.line) + "\n") << what;
            EXPECT_NE(r.err.find(f.inLog), std::string::npos) << what << ": no log: " << r.err;
        }
    }
}

// The scene program failing to build: the intro says so in one line, runs the plain scene program
// instead and still ends with status 0 on Escape.
TEST_F(StartupFailure, BrokenSceneProgramFallsBackToThePlainOne) {
    const std::string readDir = replacing({sceneProgramSource().fragment}, kBrokenFragment);
    ChildProcess intro({TW_INTRO_PATH}, {{"MESA_SHADER_READ_PATH", readDir}});
    ASSERT_TRUE(waitForWindow(120)) << "the intro did not open its window";
    sleepFor(1.0);
    pressKeys({"Escape"});
    const ProcessResult r = intro.wait(30);
    report("scene program does not build", r, r.seconds);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "scene program: its fragment stage did not compile; using the plain scene program\n");
}

// A GL at the old minimums (too few varyings, no vertex-stage textures) gets the plain scene
// program, says why, and records the same frames: at most 2 % of the pixels differ by more than
// 4 levels (the two programs leave the mip level to different pixel blocks along edges).
TEST_F(StartupFailure, LowGlLimitsFallBackToTheSamePicture) {
    const std::string dir = makeTestDir("fallback-frames");
    auto record = [&](const std::string& name, std::map<std::string, std::string> env) {
        env["DISPLAY"] = "";
        return runProcess({TW_RECORD_PATH, "--size", "320x180", "--fps", "1", "--start", "3",
                           "--seconds", "28", "--frames", dir + "/" + name},
                          env, 300);
    };
    const ProcessResult fast = record("fast", {});
    const ProcessResult plain = record("plain", withFault("low-limits"));
    ASSERT_EQ(fast.exitStatus, 0) << fast.err;
    ASSERT_EQ(plain.exitStatus, 0) << plain.err;
    EXPECT_EQ(fast.err.find("plain scene program"), std::string::npos) << fast.err;
    EXPECT_NE(plain.err.find("scene program: GL_MAX_VARYING_FLOATS is 32, below 56; using the "
                             "plain scene program\n"),
              std::string::npos)
        << plain.err;
    // The scene at 3, 20 and 30 s.
    for (const char* frame : {"frame-000000.png", "frame-000017.png", "frame-000027.png"}) {
        Image a, b;
        ASSERT_TRUE(readPng(dir + "/fast/" + frame, a) && readPng(dir + "/plain/" + frame, b));
        EXPECT_TRUE(picturesAgree(a, b, 4, 0.02)) << frame;
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

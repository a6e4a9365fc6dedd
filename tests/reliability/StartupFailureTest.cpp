// Start-up failures of the real intro, end to end, from faults outside the program: a display
// server without GLX, the GL compiling replaced shader texts (MESA_SHADER_READ_PATH), and a
// preloaded library that makes one library call fail (fault_inject.cpp).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "embedded/fxaaFragmentSource.h"
#include "embedded/fxaaVertexSource.h"
#include "embedded/passthroughVertexSource.h"
#include "embedded/postFxFragmentSource.h"
#include "embedded/stretchFragmentSource.h"
#include "embedded/stretchVertexSource.h"
#include "passes/SceneShaderSource.h"
#include "passes/plain/PlainScene.h"
#include "support/FaultRun.h"
#include "support/Process.h"
#include "support/TestServices.h"

namespace tw::test {
namespace {

using Env = std::map<std::string, std::string>;

class StartupFailure : public ::testing::Test {
  protected:
    void SetUp() override { useTestServices(); }
};

// Each failure before the passes: its line, status 1, within seconds; GLFW's own failures add
// its reason on standard error. Xvfb always reports a monitor and its mode, so the fault library
// hides them; a private Xvfb without GLX lets GLFW start but makes no window with a GL context. A
// resolver that lacks one entry point, also one nothing calls, stops start-up before the first GL
// resource (the harness reports its quad buffer at exit).
TEST_F(StartupFailure, EachEarlyFailurePrintsItsLine) {
    // A home and runtime folder where ALSA finds no sound server.
    const std::string dir = makeTestDir("failure-no-sound");
    std::filesystem::create_directory(dir + "/home");
    std::filesystem::create_directory(dir + "/run");
    const Env noSound = {
        {"HOME", dir + "/home"}, {"XDG_RUNTIME_DIR", dir + "/run"}, {"PULSE_SERVER", ""}};
    std::unique_ptr<ChildProcess> xvfb;
    const std::string noGlx = startXvfb(xvfb, dir, "1280x720x24", "-extension GLX");
    ASSERT_FALSE(noGlx.empty());
    const std::vector<std::string> harness = {TW_INTRO_HARNESS, "--missing", "glPointParameterf"};
    const struct {
        const char* what;
        Env env;
        const char* out;
        double within;         // seconds
        const char* err = "";  // a part of standard error
        std::vector<std::string> argv = {TW_INTRO_PATH};
    } cases[] = {
        {"no display",
         {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}},
         "glfwInit failed\n",
         5,
         "GLFW error 0x10008: X11: The DISPLAY environment variable is missing\n"},
        {"no primary monitor", withFault("no-monitor"), "no primary monitor found\n", 5},
        {"no video mode", withFault("no-mode"), "no video mode found\n", 5},
        {"missing entry point", Env(), "Load OGL extensions : ERROR\n", 10, "quad buffer 0\n",
         harness},
        {"module rejected by the player", withFault("module"), "xmp_load_module\n", 60},
        {"no sound device", noSound, "can't initialize soun\n", 60,
         "Unable to initialize ALSA pcm device: "},
        {"no GLX",
         {{"DISPLAY", noGlx}},
         "open window glfwInit failed\n",
         10,
         "GLFW error 0x10006: GLX: GLX extension not found\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ProcessResult r = runProcess(c.argv, c.env, 120);
        EXPECT_TRUE(r.exited && r.exitStatus == 1) << r.exitStatus;
        EXPECT_EQ(r.out, c.out);
        EXPECT_LT(r.seconds, c.within);
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
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

// Each pass and the final stretch failing to compile in either stage and failing to link: the
// line, status 1 and the log on standard error. The scene fails only when its fallbacks fail too
// (its vertex stage without scissor arrays, then the plain program), after saying why the plain
// program was tried. (The fallback's picture is the recorder's reference
// test.)
TEST_F(StartupFailure, EachShaderCompileAndLinkFailureStopsStartup) {
    const SceneProgramSource scene = sceneProgramSource();
    const SceneProgramSource plain = plainSceneProgramSource();
    const struct {
        const char* line;
        std::vector<std::string> vertex, fragment;  // the stage sources a fault replaces
        bool fallsBack;                             // to the plain scene program
    } passes[] = {
        {"Raytracer Shader : ERROR",
         {sceneVertexSource(true), scene.vertex, plain.vertex},
         {scene.fragment, plain.fragment},
         true},
        {"FXAA Shader : ERROR", {fxaaVertexSource}, {fxaaFragmentSource}, false},
        {"PostFX Shader : ERROR", {passthroughVertexSource}, {postFxFragmentSource}, false},
        {"Stretch Shader : ERROR", {stretchVertexSource}, {stretchFragmentSource}, false},
    };
    const struct {
        const char* what;
        bool vertex;
        const char* text;
        const char* inLog;
        const char* fallback;  // why the scene program gave way to the plain one
    } faults[] = {
        {"vertex compile", true, kBrokenVertex, "missing", "its vertex stage did not compile"},
        {"fragment compile", false, kBrokenFragment, "missing",
         "its fragment stage did not compile"},
        {"link", false, kUnlinkableFragment, "unwritten", "it did not link"}};
    for (const auto& pass : passes) {
        for (const auto& f : faults) {
            if ((f.vertex ? pass.vertex : pass.fragment).empty())
                continue;
            SCOPED_TRACE(std::string(pass.line) + ", " + f.what);
            const std::string readDir = replacing(f.vertex ? pass.vertex : pass.fragment, f.text);
            const ProcessResult r =
                runProcess({TW_INTRO_PATH}, {{"MESA_SHADER_READ_PATH", readDir}}, 120);
            EXPECT_TRUE(r.exited && r.exitStatus == 1) << r.exitStatus;
            EXPECT_EQ(r.out, std::string(pass.line) + "\n");
            EXPECT_NE(r.err.find(f.inLog), std::string::npos) << "no log: " << r.err;
            const std::string fallback =
                std::string("scene program: ") + f.fallback + "; using the plain scene program\n";
            EXPECT_EQ(r.err.find(fallback) != std::string::npos, pass.fallsBack) << r.err;
        }
    }
}

// A line broken in one part of the scene stages (both programs, so that no fallback runs): the
// log names that part's file and line, through the #line and the table the join gives each part.
TEST_F(StartupFailure, ShaderLogNamesTheBrokenPartsFileAndLine) {
    const std::string part = "src/passes/scene_shading.glsl";
    const std::string dir = makeTestDir("failure-shader-part");
    for (const std::string& source :
         {sceneProgramSource().fragment, plainSceneProgramSource().fragment}) {
        const size_t entry = source.find(": " + part + "\n");
        ASSERT_NE(entry, std::string::npos) << "no table entry for " << part;
        const size_t start = source.rfind(' ', entry - 1) + 1;
        const int number = std::stoi(source.substr(start, entry - start));
        // Its line 1 is the version line, dropped: the #line numbers its line 2.
        const std::string directive =
            "\n#line " + std::to_string(number * 1000 + 1) + " " + std::to_string(number) + "\n";
        const size_t at = source.find(directive);
        ASSERT_NE(at, std::string::npos) << directive;
        std::string broken = source;
        broken.insert(at + directive.size(), "float broken = notDeclared;\n");
        std::ofstream(dir + "/" + dumpedNames().at(source)) << broken;
    }
    const ProcessResult r = runProcess({TW_INTRO_PATH}, {{"MESA_SHADER_READ_PATH", dir}}, 120);
    EXPECT_EQ(r.out, "Raytracer Shader : ERROR\n");
    EXPECT_NE(r.err.find("notDeclared' undeclared  [" + part + ":2]\n"), std::string::npos)
        << r.err;
}

}  // namespace
}  // namespace tw::test

// A pass whose fragment stage does not compile stops start-up with its own line, status 1 and the
// compiler's log. The GL is made to compile a broken text in place of the embedded one: Mesa
// writes each shader it compiles under MESA_SHADER_DUMP_PATH and reads a replacement of the same
// name from MESA_SHADER_READ_PATH, so the program under test stays as shipped.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "embedded/fxaaFragmentSource.h"
#include "embedded/postFxFragmentSource.h"
#include "passes/SceneShaderSource.h"
#include "support/Process.h"
#include "support/TestServices.h"

namespace tw {
namespace {

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Builds the pass once with dumping on and returns the dump's file name for `source`.
std::string dumpedName(const std::string& pass, const std::string& source) {
    const std::string dumpDir = test::makeTestDir(pass + "-shader-dump");
    const test::ProcessResult built =
        test::runProcess({TW_PASS_BUILD_PROBE, pass}, {{"MESA_SHADER_DUMP_PATH", dumpDir}}, 60);
    EXPECT_EQ(built.exitStatus, 0) << built.err;
    EXPECT_EQ(built.out, "built\n");
    for (const auto& entry : std::filesystem::directory_iterator(dumpDir))
        if (readFile(entry.path()) == source)
            return entry.path().filename().string();
    return {};
}

void expectStartupStops(const std::string& pass, const std::string& source,
                        const std::string& line) {
    test::useTestServices();
    const std::string name = dumpedName(pass, source);
    ASSERT_FALSE(name.empty()) << "the GL did not dump the fragment stage (MESA_SHADER_DUMP_PATH)";
    const std::string readDir = test::makeTestDir(pass + "-shader-read");
    std::ofstream(readDir + "/" + name)
        << "#version 120\nvoid main() { gl_FragColor = missing; }\n";

    const test::ProcessResult failed =
        test::runProcess({TW_PASS_BUILD_PROBE, pass}, {{"MESA_SHADER_READ_PATH", readDir}}, 60);
    EXPECT_TRUE(failed.exited);
    EXPECT_EQ(failed.exitStatus, 1);
    EXPECT_EQ(failed.out, line + "\n");
    EXPECT_NE(failed.err.find("missing"), std::string::npos) << "no compiler log: " << failed.err;
}

// A broken anti-aliasing fragment stage: "FXAA Shader : ERROR", status 1, log on stderr.
TEST(PassBuildFailure, FxaaFragmentErrorStopsStartup) {
    expectStartupStops("fxaa", fxaaFragmentSource, "FXAA Shader : ERROR");
}

// A broken post-effect fragment stage: "PostFX Shader : ERROR", status 1, log on stderr.
TEST(PassBuildFailure, PostFxFragmentErrorStopsStartup) {
    expectStartupStops("postfx", postFxFragmentSource, "PostFX Shader : ERROR");
}

// A broken scene fragment stage: "Raytracer Shader : ERROR", status 1, log on stderr.
TEST(PassBuildFailure, SceneFragmentErrorStopsStartup) {
    expectStartupStops("scene", sceneFragmentSource(), "Raytracer Shader : ERROR");
}

}  // namespace
}  // namespace tw

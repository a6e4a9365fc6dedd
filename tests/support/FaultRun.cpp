#include "support/FaultRun.h"

#include <cstdlib>

#include "support/Process.h"

namespace tw::test {

std::map<std::string, std::string> withFault(const std::string& fault) {
    // Keeps what a sanitizer run preloads; such a build must let the libraries come before its
    // runtime.
    const char* preloaded = std::getenv("LD_PRELOAD");
    const char* asan = std::getenv("ASAN_OPTIONS");
    return {
        {"LD_PRELOAD", std::string(TW_FAULT_LIBRARY) +
                           (preloaded != nullptr ? std::string(":") + preloaded : "")},
        {"TW_FAULT", fault},
        {"ASAN_OPTIONS", std::string(asan != nullptr ? asan : "") + ":verify_asan_link_order=0"}};
}

Image recordFrame(std::vector<std::string> argv, std::map<std::string, std::string> env,
                  bool lowLimits, int seconds, const std::string& out) {
    argv.insert(argv.end(), {"--size", "320x180", "--fps", "1", "--seconds", "1", "--start",
                             std::to_string(seconds), "--frames", out});
    if (lowLimits)
        env.merge(withFault("low-limits"));
    env["DISPLAY"] = "";
    const ProcessResult run = runProcess(argv, env, 600);
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    const std::string fallback =
        "scene program: GL_MAX_VARYING_FLOATS is 32, below 56; using the plain scene program\n";
    EXPECT_EQ(run.err.find(lowLimits ? fallback : "plain scene program") != std::string::npos,
              lowLimits)
        << run.err;
    Image image;
    EXPECT_TRUE(readPng(out + "/frame-000000.png", image)) << out;
    return image;
}

}  // namespace tw::test

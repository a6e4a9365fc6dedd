#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "ServicesEnvironment.h"

#include "support/Process.h"

namespace tw::test {

void useTestServices() {
    static bool loaded = false;
    if (loaded)
        return;
    const char* dir = std::getenv("TW_SERVICES_DIR");
    const std::string path = std::string(dir != nullptr ? dir : TW_SERVICES_DIR) + "/env";
    std::map<std::string, std::string> env;
    if (!readServicesEnvironment(path, env)) {
        ADD_FAILURE() << "no test services: " << path << " is missing (run through ctest)";
        std::abort();
    }
    for (const auto& [name, value] : env)
        setenv(name.c_str(), value.c_str(), 1);
    loaded = true;
}

void pressKeys(const std::vector<std::string>& keys) {
    useTestServices();
    std::vector<std::string> argv = {"xdotool", "mousemove", "5", "5", "key"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    const ProcessResult result = runProcess(argv, {}, 10);
    EXPECT_EQ(result.exitStatus, 0) << "xdotool: " << result.err;
}

std::string findWindow() {
    const ProcessResult found = runProcess(
        {"xdotool", "search", "--onlyvisible", "--name", "^Vendrel - Tidewatch$"}, {}, 5);
    return found.exitStatus == 0 ? found.out.substr(0, found.out.find('\n')) : "";
}

bool waitForWindow(double seconds) {
    return waitUntil(
        seconds, [] { return !findWindow().empty(); }, 0.05);
}

::testing::AssertionResult windowCovers(int width, int height) {
    const std::string origin = "Absolute upper-left X:  0\n  Absolute upper-left Y:  0\n";
    const std::string size =
        "Width: " + std::to_string(width) + "\n  Height: " + std::to_string(height) + "\n";
    std::string info;
    if (waitUntil(5, [&] {
            info = runProcess({"xwininfo", "-id", findWindow()}, {}, 10).out;
            return info.find(origin) != info.npos && info.find(size) != info.npos;
        }))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "not at 0,0 at " << width << "x" << height << ":\n"
                                         << info;
}

std::string startXvfb(std::unique_ptr<ChildProcess>& xvfb, const std::string& dir,
                      const std::string& screen, const std::string& options) {
    // -noreset: otherwise the server resets whenever its last client leaves, and a client that
    // connects during the reset (the intro under qemu, while findWindow polls) is refused.
    xvfb = std::make_unique<ChildProcess>(std::vector<std::string>{
        "sh", "-c",
        "exec Xvfb -displayfd 3 -screen 0 " + screen + " -nolisten tcp -noreset " + options +
            " 3>\"$0/display.num\" 2>\"$0/xvfb.log\"",
        dir});
    std::string number;
    if (waitUntil(10, [&] {
            return (number = readFile(dir + "/display.num")).find('\n') != number.npos;
        }))
        return ":" + number.substr(0, number.find('\n'));
    ADD_FAILURE() << "Xvfb opened no display:\n" << readFile(dir + "/xvfb.log");
    return "";
}

bool waitForMusic(double seconds, const std::map<std::string, std::string>& env) {
    return waitUntil(seconds, [&] {
        return !runProcess({"pactl", "list", "short", "sink-inputs"}, env, 5).out.empty();
    });
}

}  // namespace tw::test

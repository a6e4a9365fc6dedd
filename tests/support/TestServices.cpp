#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "ServicesEnvironment.h"

#include "gl/Timer.h"
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

bool waitForWindow(double seconds, bool shown) {
    for (const double end = Timer::now() + seconds; Timer::now() < end; sleepFor(0.05)) {
        if (findWindow().empty() != shown)
            return true;
    }
    return false;
}

std::string startXvfb(std::unique_ptr<ChildProcess>& xvfb, const std::string& dir,
                      const std::string& screen, const std::string& options) {
    xvfb = std::make_unique<ChildProcess>(
        std::vector<std::string>{"sh", "-c",
                                 "exec Xvfb -displayfd 3 -screen 0 " + screen + " -nolisten tcp " +
                                     options + " 3>\"$0/display.num\" 2>\"$0/xvfb.log\"",
                                 dir});
    for (int i = 0; i < 100; ++i, sleepFor(0.1)) {
        const std::string number = readFile(dir + "/display.num");
        if (!number.empty() && number.back() == '\n')
            return ":" + number.substr(0, number.size() - 1);
    }
    ADD_FAILURE() << "Xvfb opened no display:\n" << readFile(dir + "/xvfb.log");
    return "";
}

bool waitForMusic(double seconds, const std::map<std::string, std::string>& env) {
    for (const double end = Timer::now() + seconds; Timer::now() < end; sleepFor(0.1)) {
        if (!runProcess({"pactl", "list", "short", "sink-inputs"}, env, 5).out.empty())
            return true;
    }
    return false;
}

}  // namespace tw::test

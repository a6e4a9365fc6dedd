#include "support/TestServices.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "support/Process.h"

namespace tw::test {

void useTestServices() {
    static bool loaded = false;
    if (loaded)
        return;
    const std::string path = std::string(TW_SERVICES_DIR) + "/env";
    std::ifstream file(path);
    if (!file) {
        ADD_FAILURE() << "no test services: " << path << " is missing (run through ctest)";
        std::abort();
    }
    std::string line;
    while (std::getline(file, line)) {
        // Lines look like: export NAME=value
        const std::string prefix = "export ";
        if (line.rfind(prefix, 0) != 0)
            continue;
        const std::string assignment = line.substr(prefix.size());
        const size_t eq = assignment.find('=');
        if (eq == std::string::npos)
            continue;
        setenv(assignment.substr(0, eq).c_str(), assignment.substr(eq + 1).c_str(), 1);
    }
    loaded = true;
}

void pressKeys(const std::vector<std::string>& keys) {
    useTestServices();
    std::vector<std::string> argv = {"xdotool", "mousemove", "5", "5", "key"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    const ProcessResult result = runProcess(argv, {}, 10);
    EXPECT_EQ(result.exitStatus, 0) << "xdotool: " << result.err;
}

std::string testSinkName() {
    useTestServices();
    const char* sink = std::getenv("TW_SINK");
    return sink != nullptr ? sink : "tidewatch";
}

}  // namespace tw::test

#include "support/Process.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace tw::test {

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

void sleepFor(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

bool waitUntil(double seconds, const std::function<bool()>& done, double step) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (; !done(); sleepFor(step)) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
    }
    return true;
}

std::string makeTestDir(const std::string& name) {
    const std::string dir = std::string(TW_BINARY_DIR) + "/test-output/" + name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

}  // namespace tw::test

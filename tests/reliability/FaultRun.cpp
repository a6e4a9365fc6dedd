#include "reliability/FaultRun.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

namespace tw::test {

namespace {

const char* const kTitle = "^Vendrel - Tidewatch$";

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n')
            c = ' ';
    if (text.size() > 70)
        text = text.substr(0, 67) + "...";
    return text.empty() ? "(nothing)" : text;
}

}  // namespace

void sleepFor(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void report(const std::string& fault, const ProcessResult& r, double seconds) {
    std::printf("fault | %s | out: %s | err: %s | status %d%s | %.2f s\n", fault.c_str(),
                oneLine(r.out).c_str(), oneLine(r.err).c_str(), r.exitStatus,
                r.exited ? "" : " (killed after the wait)", seconds);
}

// The window id of the intro on the current display once it is mapped (keys pressed before then
// go elsewhere), or "" until then.
std::string findWindow() {
    const ProcessResult found =
        runProcess({"xdotool", "search", "--onlyvisible", "--name", kTitle}, {}, 5);
    return found.exitStatus == 0 ? found.out.substr(0, found.out.find('\n')) : "";
}

bool waitForWindow(double seconds) {
    for (double waited = 0.0; waited < seconds; waited += 0.05) {
        if (!findWindow().empty())
            return true;
        sleepFor(0.05);
    }
    return false;
}

// The environment that preloads the fault library with one fault chosen.
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

// Frames in [from, to) whose samples are above about -60 dBFS.
size_t loudFrames(const std::vector<int16_t>& s, size_t from, size_t to) {
    size_t loud = 0;
    for (size_t f = from; f < to && 2 * f + 1 < s.size(); ++f)
        loud += std::abs(s[2 * f]) >= 33 || std::abs(s[2 * f + 1]) >= 33;
    return loud;
}

}  // namespace tw::test

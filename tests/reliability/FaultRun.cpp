#include "reliability/FaultRun.h"

#include <cstdio>
#include <cstdlib>

namespace tw::test {

namespace {

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n')
            c = ' ';
    if (text.size() > 70)
        text = text.substr(0, 67) + "...";
    return text.empty() ? "(nothing)" : text;
}

}  // namespace

void report(const std::string& fault, const ProcessResult& r, double seconds) {
    std::printf("fault | %s | out: %s | err: %s | status %d%s | %.2f s\n", fault.c_str(),
                oneLine(r.out).c_str(), oneLine(r.err).c_str(), r.exitStatus,
                r.exited ? "" : " (killed after the wait)", seconds);
}

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

}  // namespace tw::test

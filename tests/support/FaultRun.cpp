#include "support/FaultRun.h"

#include <cstdlib>

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

}  // namespace tw::test

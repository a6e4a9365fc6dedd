#include "app/StartupFailure.h"

#include <cstdio>
#include <cstdlib>

namespace tw {

void failStartup(const char* line, const std::string& detail) {
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    if (!detail.empty()) {
        std::fputs(detail.c_str(), stderr);
        if (detail.back() != '\n')
            std::fputc('\n', stderr);
        std::fflush(stderr);
    }
    std::exit(EXIT_FAILURE);
}

}  // namespace tw

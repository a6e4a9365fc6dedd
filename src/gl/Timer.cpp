#include "gl/Timer.h"

#include <time.h>

namespace tw {

double Timer::now() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_nsec) * 1e-9 + static_cast<double>(ts.tv_sec);
}

}  // namespace tw

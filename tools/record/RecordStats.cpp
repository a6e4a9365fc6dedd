#include "RecordStats.h"

#include <cstdio>

namespace tw {

std::string describeStats(const StageTimes& times, long frames, int width, int height,
                          double loopSeconds) {
    const double whole = loopSeconds > 0.0 ? loopSeconds : 1.0;
    const double other = loopSeconds - times.render - times.readback - times.encode;
    char text[256];
    std::snprintf(text, sizeof text,
                  "recorded %ld frames of %dx%d in %.2f s (set-up %.2f s): %.2f fps; "
                  "render %.0f%%, read back %.0f%%, encode %.0f%%, other %.0f%%",
                  frames, width, height, loopSeconds, times.setup, frames / whole,
                  100.0 * times.render / whole, 100.0 * times.readback / whole,
                  100.0 * times.encode / whole, 100.0 * (other > 0.0 ? other : 0.0) / whole);
    return text;
}

}  // namespace tw

#include "RecordStats.h"

#include <cstdio>

namespace tw {

std::string describeStats(const StageTimes& times, long frames, int width, int height,
                          double loopSeconds) {
    const double whole = loopSeconds > 0.0 ? loopSeconds : 1.0;
    const double count = frames > 0 ? static_cast<double>(frames) : 1.0;
    const double other = loopSeconds - times.render - times.readback - times.encode;
    auto stage = [&](const char* name, double seconds) {
        char text[96];
        std::snprintf(text, sizeof text, "; %s %.1f ms/frame (%.1f%%)", name,
                      1000.0 * seconds / count, 100.0 * seconds / whole);
        return std::string(text);
    };
    char head[128];
    std::snprintf(head, sizeof head,
                  "recorded %ld frames of %dx%d in %.2f s (set-up %.2f s): %.2f fps", frames, width,
                  height, loopSeconds, times.setup, frames / whole);
    return head + stage("render", times.render) + stage("read back", times.readback) +
           stage("encode", times.encode) + stage("other", other > 0.0 ? other : 0.0);
}

}  // namespace tw

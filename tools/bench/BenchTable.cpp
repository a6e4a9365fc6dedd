#include "BenchTable.h"

#include <GL/gl.h>

#include <algorithm>

#include "app/Timer.h"

namespace tw {

void BenchTable::add(const std::string& what, const std::string& size, double milliseconds,
                     const std::string& note) {
    rows.push_back({what, size, milliseconds, note});
}

void BenchTable::print(std::FILE* out) const {
    std::fprintf(out, "%-28s %-10s %12s  %s\n", "measurement", "size", "ms", "how");
    for (const Row& row : rows)
        std::fprintf(out, "%-28s %-10s %12.2f  %s\n", row.what.c_str(), row.size.c_str(),
                     row.milliseconds, row.note.c_str());
}

double medianMilliseconds(const std::function<void()>& frame, int warmUp, int count) {
    for (int i = 0; i < warmUp; ++i) {
        frame();
        glFinish();
    }
    std::vector<double> samples;
    for (int i = 0; i < count; ++i) {
        const double start = Timer::now();
        frame();
        glFinish();
        samples.push_back((Timer::now() - start) * 1000.0);
    }
    std::sort(samples.begin(), samples.end());
    const size_t middle = samples.size() / 2;
    return samples.size() % 2 == 1 ? samples[middle]
                                   : (samples[middle - 1] + samples[middle]) / 2.0;
}

}  // namespace tw

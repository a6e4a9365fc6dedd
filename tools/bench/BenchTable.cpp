#include "BenchTable.h"

#include <GL/gl.h>

#include <algorithm>

#include "app/Timer.h"

namespace tw {

void BenchTable::add(const std::string& what, const std::string& size, const std::string& at,
                     double value, const std::string& unit, const std::string& note) {
    rows.push_back({what, size, at, value, unit, note});
}

void BenchTable::print(std::FILE* out) const {
    std::fprintf(out, "%-34s %-10s %-5s %10s %-4s %s\n", "measurement", "size", "time", "value",
                 "unit", "how");
    for (const Row& row : rows)
        std::fprintf(out, "%-34s %-10s %-5s %10.2f %-4s %s\n", row.what.c_str(), row.size.c_str(),
                     row.at.c_str(), row.value, row.unit.c_str(), row.note.c_str());
}

Median medianMilliseconds(const std::function<void()>& frame, int maxFrames, double budgetSeconds) {
    frame();
    glFinish();
    std::vector<double> samples;
    const double begin = Timer::now();
    while (static_cast<int>(samples.size()) < std::max(maxFrames, 3)) {
        const double start = Timer::now();
        frame();
        glFinish();
        const double end = Timer::now();
        samples.push_back((end - start) * 1000.0);
        if (samples.size() >= 3 && end - begin > budgetSeconds)
            break;
    }
    std::sort(samples.begin(), samples.end());
    const size_t middle = samples.size() / 2;
    const double median =
        samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2.0;
    return {median, static_cast<int>(samples.size())};
}

}  // namespace tw

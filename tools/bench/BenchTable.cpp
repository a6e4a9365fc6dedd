#include "BenchTable.h"

#include <GL/gl.h>

#include <time.h>

#include <algorithm>

#include "gl/Timer.h"

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

namespace {

bool cpuClock = false;

double clockSeconds() {
    if (!cpuClock)
        return Timer::now();
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

double timeOnce(const std::function<void()>& frame) {
    const double start = clockSeconds();
    frame();
    glFinish();
    return (clockSeconds() - start) * 1000.0;
}

Median median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    const size_t middle = samples.size() / 2;
    const double value =
        samples.size() % 2 == 1 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2.0;
    return {value, static_cast<int>(samples.size())};
}

}  // namespace

void timeCpu(bool cpu) {
    cpuClock = cpu;
}

Median medianMilliseconds(const std::function<void()>& frame, int maxFrames, double budgetSeconds) {
    return medianMillisecondsInTurn(frame, nullptr, maxFrames, budgetSeconds).first;
}

std::pair<Median, Median> medianMillisecondsInTurn(const std::function<void()>& first,
                                                   const std::function<void()>& second,
                                                   int maxFrames, double budgetSeconds) {
    timeOnce(first);
    if (second)
        timeOnce(second);
    std::vector<double> firstSamples, secondSamples;
    const double begin = Timer::now();
    while (static_cast<int>(firstSamples.size()) < std::max(maxFrames, 3)) {
        firstSamples.push_back(timeOnce(first));
        if (second)
            secondSamples.push_back(timeOnce(second));
        if (firstSamples.size() >= 3 && Timer::now() - begin > budgetSeconds)
            break;
    }
    return {median(firstSamples), second ? median(secondSamples) : Median{0, 0}};
}

}  // namespace tw

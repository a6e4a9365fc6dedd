// The benchmark's one table: a row per measurement, printed once all are taken, in fixed-width
// columns so that two runs (two builds) can be compared with diff.
//
// Time with medianMilliseconds() (or Timer directly), add() each result, then print(). Rows keep
// the order they were added in.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tw {

class BenchTable {
  public:
    // `what` names the work, `size` the target ("640x360", or "-"), `at` the scene time ("20s",
    // or "-"), `unit` the value's unit ("ms", "x", "MiB", "px"), `note` how it was measured.
    void add(const std::string& what, const std::string& size, const std::string& at, double value,
             const std::string& unit, const std::string& note);
    void print(std::FILE* out) const;

  private:
    struct Row {
        std::string what;
        std::string size;
        std::string at;
        double value;
        std::string unit;
        std::string note;
    };
    std::vector<Row> rows;
};

// What medianMilliseconds() measures: wall-clock time (the default), or the CPU time of all the
// process's threads (llvmpipe's included), which other work on a shared machine inflates far less.
void timeCpu(bool cpu);

struct Median {
    double milliseconds;
    int frames;
};

// Runs `frame` once untimed (the GL compiles shaders on first use), then times it until
// `maxFrames` runs or about `budgetSeconds` have been spent, at least 3 runs; each run is ended by
// glFinish so that the GL's queued work is inside the measurement. The median in milliseconds.
Median medianMilliseconds(const std::function<void()>& frame, int maxFrames, double budgetSeconds);

// The same for two kinds of frame timed in turn, so that a machine shared with other work slows
// both alike and their ratio stays fair.
std::pair<Median, Median> medianMillisecondsInTurn(const std::function<void()>& first,
                                                   const std::function<void()>& second,
                                                   int maxFrames, double budgetSeconds);

}  // namespace tw

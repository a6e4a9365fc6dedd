// The benchmark's one table: a row per measurement, printed once all are taken.
//
// Time with medianMilliseconds() (or Timer directly), add() each result, then print(). Rows keep
// the order they were added in.
#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace tw {

class BenchTable {
  public:
    // `what` names the work, `size` the target ("320x180", or "-"), `note` how it was measured.
    void add(const std::string& what, const std::string& size, double milliseconds,
             const std::string& note);
    void print(std::FILE* out) const;

  private:
    struct Row {
        std::string what;
        std::string size;
        double milliseconds;
        std::string note;
    };
    std::vector<Row> rows;
};

// Runs `frame` `warmUp` times untimed, then `count` times, each ended by glFinish so that the GL's
// queued work is inside the measurement; the median of the timed runs in milliseconds.
double medianMilliseconds(const std::function<void()>& frame, int warmUp, int count);

}  // namespace tw

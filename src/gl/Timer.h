// A stopwatch in double-precision seconds on the monotonic clock.
//
// Construction starts it; reset() restarts it; elapsed() reads it. A wall-clock adjustment can
// never make it jump or run backwards.
#pragma once

namespace tw {

class Timer {
  public:
    Timer() { reset(); }

    static double now();
    void reset() { start = now(); }
    double elapsed() const { return now() - start; }

  private:
    double start = 0.0;
};

}  // namespace tw

// tidewatch-shutdown-bench: how long the intro takes from an Escape press to the end of its
// process, over several runs; prints each run, then the median and the maximum.
//
// Usage: tidewatch-shutdown-bench [--runs N] [--settle SECONDS] [PROGRAM]
// Needs a display without a window manager (the window under the pointer has the focus), a sound
// device and xdotool. Each run starts PROGRAM (default "tidewatch" on the PATH), waits for its
// window and then SECONDS more (default 8, for the resolution to settle), presses Escape through
// the XTEST extension and times until the process has ended; the time includes starting xdotool.
// Exit status 1 when a run does not end with status 0 or the slowest takes a second or more.
#include <getopt.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "ChildProcess.h"

namespace {

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool windowShown() {
    return tw::runProcess({"xdotool", "search", "--onlyvisible", "--name", "^Vendrel - Tidewatch$"},
                          {}, 10)
               .exitStatus == 0;
}

// One run: seconds from the Escape press to the end of the process, or -1 after a failure.
double timeOneRun(const std::string& program, double settle) {
    tw::ChildProcess intro({program});
    const double deadline = now() + 60;
    while (!windowShown()) {
        if (now() > deadline || !intro.running()) {
            std::fprintf(stderr, "%s showed no window\n", program.c_str());
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(settle));
    const double pressed = now();
    tw::ChildProcess key({"xdotool", "mousemove", "5", "5", "key", "Escape"});
    const tw::ProcessResult ended = intro.wait(30);
    const double took = now() - pressed;
    key.wait(10);
    if (!ended.exited || ended.exitStatus != 0) {
        std::fprintf(stderr, "%s did not end with status 0 after Escape: %s\n", program.c_str(),
                     ended.err.c_str());
        return -1;
    }
    return took;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 20;
    double settle = 8.0;
    static const option options[] = {
        {"runs", required_argument, nullptr, 'r'},
        {"settle", required_argument, nullptr, 's'},
        {nullptr, 0, nullptr, 0},
    };
    for (int c; (c = getopt_long(argc, argv, "", options, nullptr)) != -1;) {
        if (c == 'r' && std::atoi(optarg) > 0) {
            runs = std::atoi(optarg);
        } else if (c == 's' && std::atof(optarg) >= 0.0) {
            settle = std::atof(optarg);
        } else {
            std::fprintf(stderr,
                         "usage: tidewatch-shutdown-bench [--runs N] [--settle SECONDS] "
                         "[PROGRAM]\n");
            return 2;
        }
    }
    const std::string program = optind < argc ? argv[optind] : "tidewatch";

    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double took = timeOneRun(program, settle);
        if (took < 0)
            return 1;
        times.push_back(took);
        std::printf("run %2d: %6.1f ms from Escape to exit\n", i + 1, took * 1000.0);
        std::fflush(stdout);
    }
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    const double median = n % 2 == 1 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    std::printf("shutdown over %zu runs: median %.1f ms, maximum %.1f ms\n", n, median * 1000.0,
                times.back() * 1000.0);
    if (times.back() >= 1.0) {
        std::fprintf(stderr, "the slowest shutdown took a second or more\n");
        return 1;
    }
    return 0;
}

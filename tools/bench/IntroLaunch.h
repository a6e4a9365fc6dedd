// Runs the real intro the way a user does, under a private display and sound server, and reports
// what can only be seen from outside: how long start-up takes, the rendering size the frame loop
// settles at, the steadiness of its frames and the process's peak memory.
//
// PrivateServices::start() once (Xvfb at 1920x1080 and a PulseAudio null sink, through
// scripts/services.sh; both go when the bench exits), then launchIntro() as often as wanted.
// The intro is its harness build (intro_harness --trace), which reports each presented frame on
// standard error.
#pragma once

#include <map>
#include <string>

namespace tw {

class PrivateServices {
  public:
    ~PrivateServices();
    // False, with error() set, when the services could not be started.
    bool start(const std::string& directory);
    const std::map<std::string, std::string>& environment() const { return env; }
    const std::string& error() const { return failure; }

  private:
    std::string dir;
    std::map<std::string, std::string> env;
    std::string failure;
};

struct IntroRun {
    bool ok = false;
    std::string error;
    double firstFrameSeconds = 0;  // from starting the process to its first presented frame
    int settledWidth = 0;          // rendering size once the frame loop stopped lowering it
    int settledHeight = 0;
    double peakResidentMiB = 0;
    // Between presented frames from 1 s of scene time on, while watched (see launchIntro).
    double medianFrameMs = 0;
    double worstFrameMs = 0;
};

// Starts `harness` with `env`, waits for its first frame and, when `untilSettled`, for the frame
// loop to settle (20 frames at one size, or a width of 320 or less), then until its scene time
// reaches `watchSeconds`, at most `limitSeconds` in all; then ends it.
IntroRun launchIntro(const std::string& harness, const std::map<std::string, std::string>& env,
                     bool untilSettled, double limitSeconds, double watchSeconds = 0);

}  // namespace tw

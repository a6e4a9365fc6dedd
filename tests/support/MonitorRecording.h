// Records what the private null sink plays (its ".monitor" source) into a file while it lives.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/Process.h"

namespace tw::test {

class MonitorRecording {
  public:
    // Starts parec (16-bit stereo at 44100 Hz) into a fresh test folder `name`, once connected.
    explicit MonitorRecording(const std::string& name);

    // Frames recorded so far: a position in the recording for "now" (never ahead of it).
    size_t frames() const;
    // Stops the recording and returns its interleaved samples.
    std::vector<int16_t> finish();

  private:
    std::string path;
    ChildProcess parec;
};

// Frames in [from, to) of interleaved stereo samples with a channel above about -60 dBFS.
size_t loudFrames(const std::vector<int16_t>& samples, size_t from, size_t to);
// The RMS level in dBFS of frames [from, to) of interleaved stereo samples.
double levelDbfs(const std::vector<int16_t>& samples, size_t from = 0, size_t to = SIZE_MAX);
// The longest run of frames in [from, to) with both channels below `level`.
size_t longestQuietRun(const std::vector<int16_t>& samples, size_t from, size_t to, int level);

}  // namespace tw::test

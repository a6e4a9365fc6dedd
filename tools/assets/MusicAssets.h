// The music's part of the asset export: the embedded module as a file, and one pass through its
// order list rendered exactly as the intro plays it.
#pragma once

#include <string>

namespace tw {

// Both return an empty string on success, else what failed; a failed file is removed.
std::string writeMusicModule(const std::string& path);
// A 16-bit stereo 44100 Hz WAV file of one pass, rendered a second at a time.
std::string writeMusicWav(const std::string& path);

}  // namespace tw

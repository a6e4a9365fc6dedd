// The music's part of the asset export: the embedded module as a file, and one pass through its
// order list rendered exactly as the intro plays it.
#pragma once

#include <string>

namespace tw {

// Both write under a temporary name and rename, so a failure leaves no half-written file.
bool writeMusicModule(const std::string& path);
// A 16-bit stereo 44100 Hz WAV file of one pass.
bool writeMusicWav(const std::string& path);

}  // namespace tw

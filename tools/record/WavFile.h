// Writes interleaved signed 16-bit PCM as a WAV file (the music for ffmpeg and for --frames).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tw {

// Samples are in the host's byte order, which WAV shares on every target (little-endian).
// Returns false, with no file left, when it cannot be written completely (a full disk).
bool writeWav(const std::string& path, const std::vector<int16_t>& samples, int rate, int channels);

}  // namespace tw

// The embedded module rendered into memory in one piece, for callers that want a short stretch
// or one pass whole (the asset export, the tests). Longer recordings read a MusicStream.
#pragma once

#include <cstdint>
#include <vector>

#include "audio/MusicStream.h"

namespace tw {

// Interleaved signed 16-bit stereo at 44100 Hz: `seconds` of music starting `startSeconds` into
// the song (both >= 0), as the player continues it (the song loops at its restart position).
// The result holds exactly round(seconds * 44100) frames; it is empty when the player fails.
std::vector<int16_t> renderMusic(double startSeconds, double seconds);

// Length in seconds of one pass through the order list; 0 when the player fails.
double musicSongSeconds();

}  // namespace tw

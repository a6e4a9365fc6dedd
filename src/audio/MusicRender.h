// Renders the embedded module into memory exactly as the intro plays it (same player settings),
// for the recorder, the asset export and the tests.
#pragma once

#include <cstdint>
#include <vector>

namespace tw {

constexpr int kMusicRate = 44100;  // frames per second
constexpr int kMusicChannels = 2;  // interleaved left, right

// Interleaved signed 16-bit stereo at 44100 Hz: `seconds` of music starting `startSeconds` into
// the song (both >= 0), as the player continues it (the song loops at its restart position).
// The result holds exactly round(seconds * 44100) frames.
std::vector<int16_t> renderMusic(double startSeconds, double seconds);

// Length in seconds of one pass through the order list.
double musicSongSeconds();

}  // namespace tw

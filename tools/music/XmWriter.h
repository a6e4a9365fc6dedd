// Lays out a song and its rendered samples as an XM file image (format version 0x0104, linear
// frequency table, packed patterns, 8-bit delta-coded samples, one sample per instrument).
#pragma once

#include <cstdint>
#include <vector>

#include "Song.h"

namespace tw::music {

// `samples[i]` belongs to `song.instruments[i]`.
std::vector<uint8_t> writeXm(const Song& song, const std::vector<Sample>& samples);

}  // namespace tw::music

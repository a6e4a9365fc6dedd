// Reads the module's text sources: the instrument recipes and the song (tracks, patterns, order
// list). Both formats are described at the top of the files under song/.
#pragma once

#include <string>

#include "Song.h"

namespace tw::music {

// Each throws std::runtime_error with "file:line: what is wrong" on the first error.
void readInstruments(const std::string& path, Song& song);
void readSong(const std::string& path, Song& song);

}  // namespace tw::music

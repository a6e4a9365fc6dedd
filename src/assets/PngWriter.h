// Writes 8-bit pictures as PNG files, for people to look at (exported assets, reference images,
// recorded frames). Nothing in the intro itself reads or writes PNG.
#pragma once

#include <cstdint>
#include <string>

namespace tw {

// `channels` is 1 (grey), 3 (RGB) or 4 (RGBA); rows are tightly packed. With `bottomUp` the first
// row in memory is the picture's bottom row (GL's order) and is written last, so the file stands
// upright. Returns false (and leaves no file) when the file cannot be written.
bool writePng(const std::string& path, int width, int height, int channels, const uint8_t* pixels,
              bool bottomUp);

}  // namespace tw

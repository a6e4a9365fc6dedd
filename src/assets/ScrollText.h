// The scroll message as font-atlas coordinates: one RGB float texel per character, red the left
// edge s and green the top edge t of the character's cell, blue 0. The texture bank uploads the
// result as the one-dimensional `scroll` texture; the scene shader reads it with nearest fetches.
#pragma once

#include <cstddef>
#include <vector>

namespace tw {

// Reads `message` up to its first zero byte (at most `size` bytes), upper-cases a copy with the
// C library's toupper (default locale: only a-z change) and returns 3 floats per character, in
// the order of the text. Codes are taken as signed 8-bit values, divided with truncation.
std::vector<float> scrollTextTexels(const char* message, size_t size);

}  // namespace tw

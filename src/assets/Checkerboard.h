// The floor's checkerboard texture: 256x256 one-byte texels, row 0 first (at t = 0).
// A white 128x128 block at the origin and a white 127x127 block from (129, 129), black elsewhere:
// column 128 and row 128 stay black, so a one-texel line runs along both middle lines.
#pragma once

#include <cstdint>
#include <vector>

namespace tw {

constexpr int kCheckerboardSize = 256;

// Index y * 256 + x; 255 is white, 0 black.
std::vector<uint8_t> checkerboardTexels();

}  // namespace tw

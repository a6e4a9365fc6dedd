#include "assets/Checkerboard.h"

namespace tw {

std::vector<uint8_t> checkerboardTexels() {
    std::vector<uint8_t> texels(kCheckerboardSize * kCheckerboardSize);
    for (int y = 0; y < kCheckerboardSize; ++y)
        for (int x = 0; x < kCheckerboardSize; ++x) {
            const bool white = (x <= 127 && y <= 127) || (x >= 129 && y >= 129);
            texels[y * kCheckerboardSize + x] = white ? 255 : 0;
        }
    return texels;
}

}  // namespace tw

// CPU references of the anti-aliasing and post-effect fragment stages: the oracle that the
// recorder's frames are checked against (tests/record).
//
// The references sample an RGBA8 picture the way the GL does for the passes' sources: bilinear,
// clamp to edge, texel centres at (i + 0.5) / size. They work in double precision on 0..1 values.
#pragma once

#include <array>
#include <functional>
#include <vector>

#include "support/PixelProbe.h"

namespace tw::test {

using Colour = std::array<double, 4>;

// What the reference expects at one pixel. Where the anti-aliasing's choice between its short
// and its wide blur is too close to call at 8-bit precision, either colour is acceptable.
struct ExpectedPixel {
    Colour colour;
    Colour alternative;
    bool eitherBlur = false;
};

Image makeImage(int width, int height, const std::function<Rgba(int x, int y)>& texel);

std::vector<ExpectedPixel> fxaaReference(const Image& source);
std::vector<ExpectedPixel> postFxReference(const Image& source);

}  // namespace tw::test

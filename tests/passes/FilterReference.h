// CPU references of the anti-aliasing and post-effect fragment stages, used as test oracles, and
// the helpers that feed a synthetic picture to a pass.
//
// The references sample an RGBA8 picture the way the GL does for the passes' sources: bilinear,
// clamp to edge, texel centres at (i + 0.5) / size. They work in double precision on 0..1 values.
#pragma once

#include <array>
#include <functional>
#include <vector>

#include "gl/RenderTarget.h"
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
// Replaces the contents of the target's colour texture (same size) with `image`.
void uploadColour(const RenderTarget& target, const Image& image);

// Runs one frame of `Pass` (FxaaPass, PostFxPass) reading `picture` as its source, at the
// picture's size, and returns what it wrote.
template <typename Pass>
Image runPassOver(const Image& picture) {
    RenderTarget source;
    source.resize(picture.width, picture.height);
    uploadColour(source, picture);
    Pass pass(picture.width, picture.height, &source);
    pass.render(0.0f);
    return readTexture(pass.colorTexture(), picture.width, picture.height);
}

// Bilinear sample at texture coordinate (u, v), clamped to the edge texels.
Colour sampleBilinear(const Image& image, double u, double v);

std::vector<ExpectedPixel> fxaaReference(const Image& source);
std::vector<ExpectedPixel> postFxReference(const Image& source);

// Every pixel of `observed` lies within `tolerance` (8-bit levels, per channel) of the reference.
::testing::AssertionResult matchesReference(const Image& observed,
                                            const std::vector<ExpectedPixel>& expected,
                                            double tolerance);

}  // namespace tw::test

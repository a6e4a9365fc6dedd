// The anti-aliasing pass on the real GL, checked against its CPU reference and on pictures whose
// outcome is known by construction.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "gl/GlExtensionTable.h"
#include "gl/RenderTarget.h"
#include "passes/FilterReference.h"
#include "passes/FxaaPass.h"
#include "support/GlTestContext.h"
#include "support/PixelProbe.h"

namespace tw {
namespace {

using test::Image;
using test::Rgba;

constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 240;

// Two colours of exactly equal BT.601 luma (299, 587, 114 weights): blending them changes the hue
// but gives the edge detector nothing to see.
constexpr Rgba kWarm{200, 100, 20, 255};
constexpr Rgba kCool{70, 140, 155, 255};
constexpr Rgba kWhite{255, 255, 255, 255};

// The GL filters with 8-bit sub-texel positions and weights, so each tap may be off by about
// 1/512 of the local contrast, and the edge direction built from those taps moves the outer taps a
// little; with the output rounding that stays within 3 levels of the exact result (the worst seen
// on llvmpipe is 2.5), the 3/256 an 8-bit target is usually granted.
constexpr double kTolerance = 3.0;

double luma(const Rgba& c) {
    return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2];
}

class FxaaPassTest : public ::testing::Test {
  protected:
    void SetUp() override { test::GlTestContext::ensure(kScreenWidth, kScreenHeight); }
};

// A hard-edged disc and a shallow line over a two-tone background, plus a little noise.
Image testPicture(int width, int height) {
    return test::makeImage(width, height, [=](int x, int y) -> Rgba {
        const int noise = static_cast<int>((x * 7919u + y * 104729u) % 13u);
        const double dx = x - width * 0.4;
        const double dy = y - height * 0.5;
        if (dx * dx + dy * dy < height * height * 0.12)
            return {240, 200, 40 + noise, 255};
        if (y == x / 3 + 4)
            return {255, 255, 255, 255};
        return {20 + noise, 40, x < width * 3 / 4 ? 90 : 180, 255};
    });
}

// Pixels whose three-by-three neighbourhood is one colour keep that colour exactly (every tap
// blends equal texels, which filtering reproduces without error).
TEST_F(FxaaPassTest, UniformRegionPassesUnchanged) {
    const Rgba left{37, 142, 201, 255};
    const Rgba right{220, 40, 90, 255};
    const Image out = test::runPassOver<FxaaPass>(
        test::makeImage(48, 32, [&](int x, int /*y*/) { return x < 30 ? left : right; }));
    EXPECT_TRUE(test::probeRect(out, 0, 0, 29, 32, left, 0));
    EXPECT_TRUE(test::probeRect(out, 31, 0, 17, 32, right, 0));
}

// Next to a horizontal edge the blur runs along x: the row keeps its luma but mixes its hues,
// and nothing crosses the edge.
TEST_F(FxaaPassTest, HorizontalEdgeBlursAlongXOnly) {
    const Image source = test::makeImage(
        32, 32, [](int x, int y) { return y < 16 ? kWhite : (x % 2 == 0 ? kWarm : kCool); });
    const Image out = test::runPassOver<FxaaPass>(source);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const Rgba seen = out.at(x, y);
            if (y != 16) {
                ASSERT_TRUE(test::probeRect(out, x, y, 1, 1, source.at(x, y), kTolerance));
                continue;
            }
            EXPECT_NEAR(luma(seen), luma(kWarm), kTolerance) << "x " << x;
            if (x >= 4 && x < 28) {
                EXPECT_GT(std::abs(seen[0] - source.at(x, y)[0]), 20) << "x " << x;
            }
        }
    }
}

// The same with the picture turned: next to a vertical edge the blur runs along y only.
TEST_F(FxaaPassTest, VerticalEdgeBlursAlongYOnly) {
    const Image source = test::makeImage(
        32, 32, [](int x, int y) { return x < 16 ? kWhite : (y % 2 == 0 ? kWarm : kCool); });
    const Image out = test::runPassOver<FxaaPass>(source);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const Rgba seen = out.at(x, y);
            if (x != 16) {
                ASSERT_TRUE(test::probeRect(out, x, y, 1, 1, source.at(x, y), kTolerance));
                continue;
            }
            EXPECT_NEAR(luma(seen), luma(kWarm), kTolerance) << "y " << y;
            if (y >= 4 && y < 28) {
                EXPECT_GT(std::abs(seen[0] - source.at(x, y)[0]), 20) << "y " << y;
            }
        }
    }
}

// Alpha is copied from the matching source texel, never blurred, also on edges.
TEST_F(FxaaPassTest, OutputAlphaEqualsSourceAlpha) {
    const Image source = test::makeImage(40, 24, [](int x, int y) -> Rgba {
        const uint32_t h = (x * 2654435761u) ^ (y * 40503u + 17u);
        return {static_cast<int>(h % 256), static_cast<int>((h >> 8) % 256),
                static_cast<int>((h >> 16) % 256), static_cast<int>((x * 37 + y * 11) % 256)};
    });
    const Image out = test::runPassOver<FxaaPass>(source);
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(out.at(x, y)[3], source.at(x, y)[3]) << "pixel (" << x << ", " << y << ")";
}

// Taps beyond the border read the edge texels, not the far side of the picture: where an edge
// meets the border the blur along it keeps the colour of its own side (warm on one half, cool on
// the other, of equal luma, so that the edge is the same everywhere).
TEST_F(FxaaPassTest, BorderTapsReadEdgeTexels) {
    for (bool turned : {false, true}) {
        const Image source = test::makeImage(32, 32, [=](int x, int y) {
            const int across = turned ? x : y;
            const int along = turned ? y : x;
            return across < 16 ? kWhite : (along < 16 ? kWarm : kCool);
        });
        const Image out = test::runPassOver<FxaaPass>(source);
        for (int along : {0, 1, 30, 31}) {
            const int x = turned ? 16 : along;
            const int y = turned ? along : 16;
            EXPECT_TRUE(test::probeRect(out, x, y, 1, 1, source.at(x, y), kTolerance))
                << (turned ? "vertical" : "horizontal") << " edge";
        }
    }
}

// Every pixel matches the CPU reference of the filter, and the filter did change the picture.
TEST_F(FxaaPassTest, MatchesCpuReference) {
    const Image source = testPicture(48, 32);
    const Image out = test::runPassOver<FxaaPass>(source);
    test::savePng(out, "fxaa_reference_picture");
    EXPECT_TRUE(test::matchesReference(out, test::fxaaReference(source), kTolerance));
    int changed = 0;
    for (size_t i = 0; i < out.pixels.size(); ++i)
        changed += std::abs(out.pixels[i] - source.pixels[i]) > 8 ? 1 : 0;
    EXPECT_GT(changed, 60);
}

// After both targets shrink, the next frame addresses the source at its new size.
TEST_F(FxaaPassTest, ResizedPassAddressesMatchingTexels) {
    RenderTarget source;
    source.resize(64, 48);
    FxaaPass pass(64, 48, &source);
    test::uploadColour(source, testPicture(64, 48));
    pass.render(0.0f);

    source.resize(40, 30);
    pass.resize(40, 30);
    const Image smaller = testPicture(40, 30);
    test::uploadColour(source, smaller);
    pass.render(1.0f);
    EXPECT_TRUE(test::matchesReference(test::readTexture(pass.colorTexture(), 40, 30),
                                       test::fxaaReference(smaller), kTolerance));
}

// render() leaves framebuffer 0, no program, unit 0 active and empty, the screen viewport.
TEST_F(FxaaPassTest, RenderLeavesPromisedGlState) {
    RenderTarget source;
    source.resize(48, 32);
    FxaaPass pass(48, 32, &source);
    // What the scene pass leaves: a texture on unit 0 and unit 4 active.
    glBindTexture(GL_TEXTURE_2D, source.depthTexture());
    glActiveTextureARB(GL_TEXTURE4);
    glViewport(0, 0, 7, 7);

    pass.render(0.0f);

    EXPECT_TRUE(test::passLeftFinalDrawState());
}

}  // namespace
}  // namespace tw

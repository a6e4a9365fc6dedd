// The post-effect pass on the real GL: vignette levels, where the fringe reads each channel, and
// the state it leaves for the final draw.
#include <gtest/gtest.h>

#include <cstdint>

#include "gl/GlExtensionTable.h"
#include "gl/RenderTarget.h"
#include "passes/FilterReference.h"
#include "passes/PostFxPass.h"
#include "support/GlTestContext.h"
#include "support/PixelProbe.h"

namespace tw {
namespace {

using test::Image;
using test::Rgba;

constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 240;
// Odd sizes, so one pixel centre lies exactly on the middle of the picture; wide enough that the
// pixels three in from the right and top edges see nearly the full 3-texel fringe.
constexpr int kWidth = 321;
constexpr int kHeight = 181;
constexpr int kCentreX = 160;
constexpr int kCentreY = 90;

// The GL filters with 8-bit sub-texel positions and weights: on this noisy test picture a tap may
// be off by up to 1/512 of the contrast between neighbours (200 levels), scaled by the vignette
// (up to 1.375), plus output rounding. 3 levels, the 3/256 an 8-bit target is usually granted,
// covers that (the worst seen on llvmpipe is 1.9).
constexpr double kTolerance = 3.0;

class PostFxPassTest : public ::testing::Test {
  protected:
    void SetUp() override { test::GlTestContext::ensure(kScreenWidth, kScreenHeight); }
};

int brightest(const Image& image, int channel, bool alongX, int fixed) {
    const int length = alongX ? image.width : image.height;
    int best = 0;
    for (int i = 1; i < length; ++i) {
        const Rgba a = alongX ? image.at(i, fixed) : image.at(fixed, i);
        const Rgba b = alongX ? image.at(best, fixed) : image.at(fixed, best);
        if (a[channel] > b[channel])
            best = i;
    }
    return best;
}

// Grey 204 (0.8) becomes 255 in the middle (1.1, clamped) and 102 (0.4) on the border.
TEST_F(PostFxPassTest, GreyBecomesFullInMiddleAndHalfOnBorder) {
    const Image out = test::runPassOver<PostFxPass>(test::makeImage(kWidth, kHeight, [](int, int) {
        return Rgba{204, 204, 204, 255};
    }));
    EXPECT_TRUE(test::probeRect(out, kCentreX, kCentreY, 1, 1, {255, 255, 255, 255}, 0));
    // Pixel centres lie half a texel inside the border, where the vignette is at most 1% above
    // one half: 102 to 104.
    const Rgba border{103, 103, 103, 255};
    EXPECT_TRUE(test::probeRect(out, 0, 0, kWidth, 1, border, 1));
    EXPECT_TRUE(test::probeRect(out, 0, kHeight - 1, kWidth, 1, border, 1));
    EXPECT_TRUE(test::probeRect(out, 0, 0, 1, kHeight, border, 1));
    EXPECT_TRUE(test::probeRect(out, kWidth - 1, 0, 1, kHeight, border, 1));
    EXPECT_TRUE(test::probeRect(out, 0, 0, 1, 1, {102, 102, 102, 255}, 0));
}

// In the middle all three channels come from the same point, scaled by 1.375.
TEST_F(PostFxPassTest, MiddleReadsAllChannelsAtOnePoint) {
    const Image out =
        test::runPassOver<PostFxPass>(test::makeImage(kWidth, kHeight, [](int x, int y) {
            const int level = 20 + x / 4 + y / 3;
            return Rgba{level, level, level, 255};
        }));
    const Rgba seen = out.at(kCentreX, kCentreY);
    const int level = 20 + kCentreX / 4 + kCentreY / 3;
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(seen[2], seen[1]);
    EXPECT_NEAR(seen[1], level * 1.375, 1.0);
}

// Near the right edge red is read 3 texels farther right and blue 3 texels farther left: a single
// bright column shows up in red 3 pixels left of it and in blue 3 pixels right of it.
TEST_F(PostFxPassTest, RightEdgeReadsRedOutsideAndBlueInside) {
    const int column = kWidth - 4;
    const Image out =
        test::runPassOver<PostFxPass>(test::makeImage(kWidth, kHeight, [=](int x, int) {
            return x == column ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 255};
        }));
    EXPECT_EQ(brightest(out, 0, true, kCentreY), column - 3);
    EXPECT_EQ(brightest(out, 1, true, kCentreY), column);
    EXPECT_EQ(brightest(out, 2, true, kCentreY), column + 3);
}

// The vertical offset follows v.y the same way: at the top edge red comes from 3 texels above.
TEST_F(PostFxPassTest, TopEdgeReadsRedAboveAndBlueBelow) {
    const int row = kHeight - 4;
    const Image out =
        test::runPassOver<PostFxPass>(test::makeImage(kWidth, kHeight, [=](int, int y) {
            return y == row ? Rgba{255, 255, 255, 255} : Rgba{0, 0, 0, 255};
        }));
    EXPECT_EQ(brightest(out, 0, false, kCentreX), row - 3);
    EXPECT_EQ(brightest(out, 1, false, kCentreX), row);
    EXPECT_EQ(brightest(out, 2, false, kCentreX), row + 3);
}

// Every pixel matches the CPU reference, fringe taps clamped at the borders included; the output
// is opaque although the source is fully transparent.
TEST_F(PostFxPassTest, MatchesCpuReferenceWithOpaqueOutput) {
    const Image source = test::makeImage(kWidth, kHeight, [](int x, int y) {
        const uint32_t h = (x * 2654435761u) ^ (y * 40503u + 17u);
        return Rgba{(x * 3) % 256, static_cast<int>(h % 200), (y * 5 + x) % 256, 0};
    });
    const Image out = test::runPassOver<PostFxPass>(source);
    test::savePng(out, "postfx_reference_picture");
    EXPECT_TRUE(test::matchesReference(out, test::postFxReference(source), kTolerance));
}

// render() leaves what the final draw relies on: framebuffer 0, no program, unit 0 active with
// no 2D texture, the screen viewport.
TEST_F(PostFxPassTest, RenderLeavesStateForFinalDraw) {
    RenderTarget source;
    source.resize(64, 36);
    PostFxPass pass(64, 36, &source);
    glActiveTextureARB(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, source.depthTexture());
    glActiveTextureARB(GL_TEXTURE3);
    glViewport(0, 0, 7, 7);

    pass.render(0.0f);

    EXPECT_TRUE(test::passLeftFinalDrawState());
}

}  // namespace
}  // namespace tw

// The scene pass against the first transcription of its shader, rendered side by side: the
// restructured shader must show the same picture, differing only where a 2 x 2 block of pixels
// straddles an edge (a sphere or letter beside floor or sky), since there GLSL leaves the mip
// level of the noise and checker reads to the pixels that share the block.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <string>

#include "assets/TextureBank.h"
#include "passes/ScenePass.h"
#include "passes/faithful/FaithfulScene.h"
#include "support/GlTestContext.h"
#include "support/PixelProbe.h"

namespace tw {
namespace {

// The reference pictures' tolerance: at most 2 % of the pixels differ by more than 4 levels.
const int kLevels = 4;
const double kAllowedShare = 0.02;
// A pixel is at an edge where the faithful picture changes by more than this within two pixels
// (a 2 x 2 block that straddles an edge reaches one pixel beyond it).
const int kEdgeContrast = 8;
const int kEdgeReach = 2;

int channelDifference(const test::Image& a, int ax, int ay, const test::Image& b, int bx, int by) {
    int worst = 0;
    for (int c = 0; c < 3; ++c)
        worst = std::max(worst, std::abs(a.at(ax, ay)[c] - b.at(bx, by)[c]));
    return worst;
}

// The largest change from (x, y) to a pixel at most kEdgeReach away.
int localContrast(const test::Image& image, int x, int y) {
    int contrast = 0;
    for (int dy = -kEdgeReach; dy <= kEdgeReach; ++dy)
        for (int dx = -kEdgeReach; dx <= kEdgeReach; ++dx) {
            const int nx = std::clamp(x + dx, 0, image.width - 1);
            const int ny = std::clamp(y + dy, 0, image.height - 1);
            contrast = std::max(contrast, channelDifference(image, x, y, image, nx, ny));
        }
    return contrast;
}

class SceneFaithfulTest : public ::testing::TestWithParam<std::tuple<int, int, float>> {
  protected:
    static void SetUpTestSuite() {
        test::GlTestContext::ensure(640, 360);
        static bool built = false;
        if (!built) {
            TextureBank::instance().build();
            built = true;
        }
    }
};

// Same picture as the first transcription: within the reference tolerance, and every pixel that
// differs by more than 4 levels lies on an edge of the faithful picture.
TEST_P(SceneFaithfulTest, MatchesFirstTranscription) {
    const auto [width, height, time] = GetParam();
    ScenePass faithful(width, height, faithfulSceneProgramSource());
    ScenePass scene(width, height);
    faithful.render(time);
    const test::Image before = test::readFramebuffer(faithful.framebuffer(), width, height);
    scene.render(time);
    const test::Image after = test::readFramebuffer(scene.framebuffer(), width, height);

    int largest = 0, differing = 0, offEdge = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int difference = channelDifference(before, x, y, after, x, y);
            largest = std::max(largest, difference);
            if (difference <= kLevels)
                continue;
            ++differing;
            if (localContrast(before, x, y) <= kEdgeContrast) {
                ADD_FAILURE() << "pixel (" << x << ", " << y << ") differs by " << difference
                              << " levels away from any edge";
                if (++offEdge > 5)
                    return;
            }
        }
    }
    const double share = static_cast<double>(differing) / (width * height);
    std::cout << width << "x" << height << " at " << time << " s: largest difference " << largest
              << " levels, " << share * 100 << " % of the pixels above " << kLevels << "\n";
    EXPECT_LE(share, kAllowedShare)
        << test::savePng(before, "faithful") << " " << test::savePng(after, "restructured");
}

INSTANTIATE_TEST_SUITE_P(
    Times, SceneFaithfulTest,
    ::testing::Values(std::make_tuple(320, 180, 3.f), std::make_tuple(320, 180, 10.f),
                      std::make_tuple(320, 180, 16.3f), std::make_tuple(320, 180, 20.f),
                      std::make_tuple(320, 180, 30.f), std::make_tuple(640, 360, 20.f)));

}  // namespace
}  // namespace tw

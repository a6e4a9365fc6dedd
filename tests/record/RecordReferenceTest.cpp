// What the recorder shows is what the intro shows: a recorded frame equals the scene pass's
// committed reference picture at that moment, put through the CPU references of the
// anti-aliasing and post-effect passes.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "passes/FilterReference.h"
#include "support/Process.h"

namespace tw {
namespace {

// The anti-aliasing pass writes an 8-bit target, which the post effect then samples.
test::Image toImage(const std::vector<test::ExpectedPixel>& pixels, int width, int height) {
    return test::makeImage(width, height, [&](int x, int y) {
        const test::Colour& c = pixels[static_cast<size_t>(y) * width + x].colour;
        test::Rgba texel{};
        for (int i = 0; i < 4; ++i)
            texel[i] = static_cast<int>(std::lround(c[i] * 255.0));
        return texel;
    });
}

// Share of pixels where some colour channel is more than `levels` away from both acceptable
// expectations, and the largest such distance.
std::pair<double, double> difference(const test::Image& seen,
                                     const std::vector<test::ExpectedPixel>& expected,
                                     double levels) {
    int count = 0;
    double largest = 0.0;
    for (int y = 0; y < seen.height; ++y) {
        for (int x = 0; x < seen.width; ++x) {
            const test::ExpectedPixel& e = expected[static_cast<size_t>(y) * seen.width + x];
            const test::Rgba pixel = seen.at(x, y);
            auto distance = [&](const test::Colour& want) {
                double worst = 0.0;
                for (int c = 0; c < 3; ++c)
                    worst = std::max(worst, std::abs(pixel[c] - want[c] * 255.0));
                return worst;
            };
            const double off = e.eitherBlur ? std::min(distance(e.colour), distance(e.alternative))
                                            : distance(e.colour);
            count += off > levels ? 1 : 0;
            largest = std::max(largest, off);
        }
    }
    return {static_cast<double>(count) / (seen.width * seen.height), largest};
}

// The tolerance of the scene's reference test (its pictures may differ on another GL in up to 2 %
// of the pixels), with the GL's rounding in the two filters on top of the 3 levels their own
// tests allow.
constexpr double kLevels = 5.0;
constexpr double kAllowedShare = 0.02;

// Frames recorded at 3, 10, 20 and 30 s match the scene references after both filters.
TEST(RecordReference, FramesMatchSceneReferencesAfterBothFilters) {
    const std::string dir = test::makeTestDir("record-reference");
    for (int seconds : {3, 10, 20, 30}) {
        SCOPED_TRACE(std::to_string(seconds) + " s");
        const std::string frames = dir + "/at-" + std::to_string(seconds);
        const test::ProcessResult run =
            test::runProcess({TW_RECORD_PATH, "--size", "320x180", "--fps", "1", "--seconds", "1",
                              "--start", std::to_string(seconds), "--frames", frames},
                             {{"DISPLAY", ""}}, 120.0);
        ASSERT_EQ(run.exitStatus, 0) << run.err;

        test::Image scene;
        test::Image recorded;
        const std::string reference = std::string(TW_SOURCE_DIR) +
                                      "/tests/passes/reference/scene-" + std::to_string(seconds) +
                                      "s.png";
        ASSERT_TRUE(test::readPng(reference, scene)) << reference;
        ASSERT_TRUE(test::readPng(frames + "/frame-000000.png", recorded));
        ASSERT_EQ(recorded.width, scene.width);
        ASSERT_EQ(recorded.height, scene.height);

        const test::Image smoothed = toImage(test::fxaaReference(scene), scene.width, scene.height);
        const auto [share, largest] =
            difference(recorded, test::postFxReference(smoothed), kLevels);
        EXPECT_LE(share, kAllowedShare) << share * 100 << "% of the pixels differ by more than "
                                        << kLevels << " levels (largest " << largest << ")";
    }
}

}  // namespace
}  // namespace tw

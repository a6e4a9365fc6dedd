// The calibration rule of the frame loop, as pure functions.
#include <gtest/gtest.h>

#include "passes/ResolutionStep.h"

namespace tw {
namespace {

// Each step removes 128 columns and the old height's share of 128 rows, truncated: an exact
// share (1920 x 1080: 72), one just short of a whole row (1366 x 768: 71.96 removed as 71) and
// another shape (1280 x 1024: 102.4).
TEST(ResolutionStep, LowersByTruncatedShareOf128) {
    const struct {
        RenderSize from, to;
    } rows[] = {
        {{1920, 1080}, {1792, 1008}}, {{1366, 768}, {1238, 697}}, {{1280, 1024}, {1152, 922}}};
    for (const auto& row : rows) {
        const RenderSize to = lowerResolution(row.from);
        EXPECT_EQ(to.width, row.to.width) << row.from.width << "x" << row.from.height;
        EXPECT_EQ(to.height, row.to.height) << row.from.width << "x" << row.from.height;
    }
}

// A step is due after strictly more than half a second with at most 19 frames, while the width
// is above 320.
TEST(ResolutionStep, DueOnlyWhenSlowAndWiderThan320) {
    const struct {
        double seconds;
        int frames, width;
        bool due;
    } rows[] = {{0.5, 0, 1920, false},  {0.5000001, 0, 1920, true}, {0.7, 19, 1920, true},
                {0.7, 20, 1920, false}, {10.0, 0, 321, true},       {10.0, 0, 320, false}};
    for (const auto& row : rows)
        EXPECT_EQ(resolutionStepDue(row.seconds, row.frames, row.width), row.due)
            << row.seconds << " s, " << row.frames << " frames, width " << row.width;
}

}  // namespace
}  // namespace tw

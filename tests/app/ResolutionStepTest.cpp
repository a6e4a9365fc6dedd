// The calibration rule of the frame loop, as pure functions.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "app/ResolutionStep.h"

namespace tw {
namespace {

std::vector<std::pair<int, int>> stepsFrom(int width, int height) {
    std::vector<std::pair<int, int>> sizes;
    RenderSize size{width, height};
    // A GPU that never keeps up: a step is due every time the rule allows one.
    while (resolutionStepDue(0.6, 0, size.width)) {
        size = lowerResolution(size);
        sizes.emplace_back(size.width, size.height);
    }
    return sizes;
}

// 1920x1080 goes down in 13 steps to 256x144 and stays there.
TEST(ResolutionStep, FullHdSequence) {
    const std::vector<std::pair<int, int>> expected = {
        {1792, 1008}, {1664, 936}, {1536, 864}, {1408, 792}, {1280, 720}, {1152, 648}, {1024, 576},
        {896, 504},   {768, 432},  {640, 360},  {512, 288},  {384, 216},  {256, 144}};
    EXPECT_EQ(stepsFrom(1920, 1080), expected);
}

// The amount removed is truncated, not the result: 128/1366*768 = 71.96 removes 71 rows.
TEST(ResolutionStep, WideLaptopSequenceTruncatesTheRemovedAmount) {
    const std::vector<std::pair<int, int>> expected = {{1238, 697}, {1110, 625}, {982, 553},
                                                       {854, 481},  {726, 409},  {598, 337},
                                                       {470, 265},  {342, 193},  {214, 121}};
    EXPECT_EQ(stepsFrom(1366, 768), expected);
}

// 5:4 screen: the first step removes 102.4 rows, truncated to 102.
TEST(ResolutionStep, FiveByFourSequence) {
    const std::vector<std::pair<int, int>> expected = {{1152, 922}, {1024, 820}, {896, 718},
                                                       {768, 616},  {640, 514},  {512, 412},
                                                       {384, 309},  {256, 206}};
    EXPECT_EQ(stepsFrom(1280, 1024), expected);
}

// Screens 320 pixels wide or narrower are never lowered; 321 still is.
TEST(ResolutionStep, NarrowScreensAreNeverLowered) {
    EXPECT_FALSE(resolutionStepDue(10.0, 0, 320));
    EXPECT_FALSE(resolutionStepDue(10.0, 0, 100));
    EXPECT_TRUE(resolutionStepDue(10.0, 0, 321));
}

// A step needs strictly more than half a second and at most 19 frames in it.
TEST(ResolutionStep, DueOnlyAfterHalfASecondWithFewerThanTwentyFrames) {
    EXPECT_FALSE(resolutionStepDue(0.5, 0, 1920));
    EXPECT_TRUE(resolutionStepDue(0.5000001, 0, 1920));
    EXPECT_TRUE(resolutionStepDue(0.7, 19, 1920));
    EXPECT_FALSE(resolutionStepDue(0.7, 20, 1920));
    EXPECT_FALSE(resolutionStepDue(100.0, 20, 1920));
}

}  // namespace
}  // namespace tw

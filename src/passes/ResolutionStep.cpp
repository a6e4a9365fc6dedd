#include "passes/ResolutionStep.h"

namespace tw {

namespace {
constexpr double kCalibrationWindow = 0.5;  // seconds
constexpr int kFramesToKeepUp = 20;         // frames within the window
constexpr int kMinimumWidth = 320;          // widths at or below this are never lowered
constexpr int kWidthStep = 128;
}  // namespace

bool resolutionStepDue(double secondsSinceStep, int framesSinceStep, int width) {
    return secondsSinceStep > kCalibrationWindow && framesSinceStep <= kFramesToKeepUp - 1 &&
           width > kMinimumWidth;
}

RenderSize lowerResolution(RenderSize size) {
    // Single precision on purpose: 1280x1024 removes 102 rows (102.4 truncated), 1366x768 71.
    const float share = static_cast<float>(kWidthStep) / static_cast<float>(size.width);
    const float removed = share * static_cast<float>(size.height);
    return {size.width - kWidthStep, size.height - static_cast<int>(removed)};
}

}  // namespace tw

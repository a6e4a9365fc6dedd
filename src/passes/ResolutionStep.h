// The frame loop's calibration rule: while fewer than 20 frames finish in half a second, the
// rendering size drops by 128 pixels in width, keeping the aspect ratio. Pure functions, so the
// rule can be checked without a GL.
#pragma once

namespace tw {

struct RenderSize {
    int width;
    int height;
};

// True when a step is due: more than half a second since the start or the last step, at most 19
// frames finished in that time, and the width still above 320.
bool resolutionStepDue(double secondsSinceStep, int framesSinceStep, int width);

// The next size down: width - 128, and the height less the old height's share of 128 pixels,
// computed in single precision and truncated (the truncation applies to the amount removed).
RenderSize lowerResolution(RenderSize size);

}  // namespace tw

// The GL resources every frame draws with, made in the intro's fixed order: the full-screen quad,
// the texture bank sized to the screen and filled, and 1D and 2D texturing enabled on unit 0
// (which the final fixed-function draw relies on). Shared by the intro and the recorder.
//
// Call once with a GL context current and the extension table loaded, before creating the passes.
#pragma once

namespace tw {

void prepareGlResources(int screenWidth, int screenHeight);

}  // namespace tw

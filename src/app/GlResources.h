// The GL set-up every frame is drawn with, shared by the intro and the recorder so both draw alike.
//
// With a GL context current and the extension table loaded: prepareGlResources() once (the
// full-screen quad, the texture bank sized to the screen and filled, 1D and 2D texturing enabled
// on unit 0 for fixed-function draws (the final draw now uses a shader, ScreenStretch), the
// viewport at the screen size and identity matrices so the quad's -1..1 corners cover it), then
// createPassChain(). Start-up failures print their line and exit 1.
#pragma once

#include <memory>

namespace tw {

class PassChain;

void prepareGlResources(int screenWidth, int screenHeight);

// The three passes at the screen size. A fallback to the plain scene program is said in one line
// on standard error; a pass that fails to build ends start-up with its line and its log.
std::unique_ptr<PassChain> createPassChain(int screenWidth, int screenHeight);

}  // namespace tw

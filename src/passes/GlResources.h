// The GL set-up every frame is drawn with, shared by the intro, the recorder and the browser page
// so all draw alike.
//
// With a GL context current and the extension table loaded: prepareGlResources() once (the
// full-screen quad, the texture bank sized to the screen and filled, then what the final draw
// needs), then a FrameDriver, which makes its chain with createPassChain(). Nothing here ends the
// process: each program reports a failed pass in its own voice.
#pragma once

#include <memory>

namespace tw {

class PassChain;

void prepareGlResources(int screenWidth, int screenHeight);

// The three passes at the rendering size. A fallback to the plain scene program is said in one line
// on standard error. When a pass did not build, the chain's failure() says which, and
// PassChain::failureLine() gives its fixed line.
std::unique_ptr<PassChain> createPassChain(int width, int height);

}  // namespace tw

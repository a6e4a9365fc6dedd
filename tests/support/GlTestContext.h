// A real GL context for tests: the recorder's off-screen context (Mesa llvmpipe, no display), with
// the extension table loaded and the GL resources prepared as the intro and the recorder prepare
// them (prepareGlResources: the quad, the texture bank, the final draw's state).
#pragma once

namespace tw::test {

class GlTestContext {
  public:
    // Creates the context on first use (once per test process); the screen size is what render
    // targets restore the viewport to. Later calls keep the same context.
    static void ensure(int screenWidth = 320, int screenHeight = 240);
};

}  // namespace tw::test

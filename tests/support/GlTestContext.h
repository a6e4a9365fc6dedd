// A real GL context for tests: the recorder's off-screen one (llvmpipe, no display), with the
// extension table loaded and the GL resources prepared as the programs prepare them.
#pragma once

namespace tw::test {

class GlTestContext {
  public:
    // Creates the context once per process; render targets restore the viewport to the screen's.
    static void ensure(int screenWidth = 320, int screenHeight = 240);
};

}  // namespace tw::test

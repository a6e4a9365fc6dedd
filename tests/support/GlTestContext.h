// A real GL context for tests: a hidden GLFW window on the private Xvfb display (Mesa llvmpipe),
// with the extension table loaded, the full-screen quad created and the texture bank's screen size
// set, as the Intro constructor leaves them.
#pragma once

struct GLFWwindow;

namespace tw::test {

class GlTestContext {
  public:
    // Creates the context on first use (once per test process); the screen size is what render
    // targets restore the viewport to. Later calls return the same context.
    static GLFWwindow* ensure(int screenWidth = 320, int screenHeight = 240);
};

}  // namespace tw::test

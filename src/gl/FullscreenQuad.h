// The one vertex buffer with the four screen corners, drawn by every pass and by the final draw.
//
// create() once after loadGlExtensions(); draw() any number of times; destroy() is never needed
// (the buffer ends with the context). draw() leaves no buffer bound and both client arrays off.
#pragma once

#include <GL/gl.h>

namespace tw {

class FullscreenQuad {
  public:
    static void create();
    // Positions (-1..1) go to gl_Vertex, texture coordinates (0,0 lower-left) to unit 0.
    static void draw();
    static void destroy();

    static GLuint buffer() { return quadBuffer; }

  private:
    static GLuint quadBuffer;
};

}  // namespace tw

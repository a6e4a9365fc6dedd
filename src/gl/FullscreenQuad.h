// The one vertex buffer with the four screen corners, drawn by every pass and by the final draw.
//
// create() once after loadGlExtensions(); prepareFinalDraw() once after it; draw() any number of
// times; destroy() is never needed (the buffer ends with the context). draw() leaves no buffer
// bound and both client arrays off.
// This file's desktop side is FullscreenQuad.cpp with FullscreenQuadDraw.cpp; the browser build
// shares the first and links its own draw (web/src/FullscreenQuadDraw.cpp).
#pragma once

#include <GL/gl.h>

#include <cstddef>

namespace tw {

class FullscreenQuad {
  public:
    // Two separate blocks, not interleaved: positions in bytes 0..31, texture coordinates after.
    static constexpr std::size_t kTexCoordOffset = 8 * sizeof(GLfloat);

    static void create();
    // What the final draw of the finished frame needs beyond the quad, at the screen size.
    static void prepareFinalDraw(int screenWidth, int screenHeight);
    // Positions (-1..1) go to gl_Vertex, texture coordinates (0,0 lower-left) to unit 0.
    static void draw();
    static void destroy();

    static GLuint buffer() { return quadBuffer; }

  private:
    static GLuint quadBuffer;
};

}  // namespace tw

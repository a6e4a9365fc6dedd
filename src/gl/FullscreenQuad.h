// The one vertex buffer with the four screen corners, drawn by every pass and by the final draw.
//
// create() once after loadGlExtensions(); setFixedFunctionState() once after it; draw() any number
// of times; the buffer ends with the context. draw() and drawBuffer() leave no buffer bound and
// both client arrays off.
// This file's desktop side is FullscreenQuad.cpp with FullscreenQuadDraw.cpp; the browser build
// shares the first and links its own drawBuffer() (web/src/FullscreenQuadDraw.cpp).
#pragma once

#include <GL/gl.h>

#include <cstddef>

namespace tw {

class FullscreenQuad {
  public:
    // Two separate blocks, not interleaved: positions in bytes 0..31, texture coordinates after.
    static constexpr std::size_t kTexCoordOffset = 8 * sizeof(GLfloat);

    static void create();
    // Start-up's fixed-function state: 1D and 2D texturing on unit 0, the viewport at the screen
    // size and identity matrices. No draw reads it (every draw has its own shader); it is part of
    // start-up's fixed order. The browser has no fixed-function state and sets nothing.
    static void setFixedFunctionState(int screenWidth, int screenHeight);
    // Positions (-1..1) go to gl_Vertex, texture coordinates (0,0 lower-left) to unit 0.
    static void draw();
    // The quad `instances` times in one draw, for a vertex stage that tells the instances apart
    // (ScenePass); more than one needs glDrawArraysInstancedARB. One is draw().
    static void drawInstances(GLsizei instances);
    // `count` vertices of `buffer`, laid out as the quad's (positions, then texture coordinates
    // from byte `texCoordOffset`), drawn as `mode`, `instances` times: draw() with the quad's own
    // buffer, and PixelRects with pieces of the quad.
    static void drawBuffer(GLuint buffer, GLenum mode, GLsizei count, std::size_t texCoordOffset,
                           GLsizei instances = 1);
    // Part of the quad's fixed layout; nothing calls it, since the buffer ends with the context.
    static void destroy();

    static GLuint buffer() { return quadBuffer; }

  private:
    static GLuint quadBuffer;
};

}  // namespace tw

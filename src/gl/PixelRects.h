// Rectangles of a target's pixels, drawn as pieces of the full-screen quad: each corner has the
// quad's position and texture coordinate there, so that a shader draws a rectangle's pixels as it
// draws them in the whole quad. For a pass that draws parts of its target with different programs
// (FxaaPass).
//
// Construct with a context current (one buffer object); per frame clear(), add() the rectangles,
// then draw() with the program in use, as often as needed. Destroy while the context is current.
// GL contract of draw(): FullscreenQuad::drawBuffer()'s.
#pragma once

#include <GL/gl.h>

#include <vector>

namespace tw {

class PixelRects {
  public:
    PixelRects();
    ~PixelRects();
    PixelRects(const PixelRects&) = delete;
    PixelRects& operator=(const PixelRects&) = delete;

    void clear() { rects.clear(); }
    // Lower-left corner and size in pixels of a target `targetWidth` x `targetHeight`; an empty
    // rectangle adds nothing.
    void add(int x, int y, int width, int height);
    bool empty() const { return rects.empty(); }
    // The rectangles added since clear(), in pixels of a target of this size, whose viewport
    // covers it.
    void draw(int targetWidth, int targetHeight);

  private:
    std::vector<int> rects;  // x, y, width, height for each
    std::vector<GLfloat> vertices;
    GLuint buffer = 0;
};

}  // namespace tw

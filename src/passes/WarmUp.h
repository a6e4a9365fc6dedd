// The warm-up draw every program of the frame gets once before the frames are timed: llvmpipe
// compiles a program for its rasteriser at its first draw, for the state it is drawn with (with no
// shader cache up to 0.3 s each), so each is drawn once with a frame's state on one pixel, which
// the first frame draws again.
//
// drawOnOnePixel(draw) around the draws; needs a GL context current. GL contract: the scissor
// test is on with the box on the bound framebuffer's bottom-left pixel while `draw` runs, and
// off afterwards.
#pragma once

#include <GL/gl.h>

namespace tw {

template <typename Draw>
void drawOnOnePixel(Draw&& draw) {
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
    draw();
    glDisable(GL_SCISSOR_TEST);
}

}  // namespace tw

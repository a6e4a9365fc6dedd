// The third pass: colour fringe and vignette over the source pass's colour texture.
//
// Construct with the rendering size and the pass it reads (not owned); after a failed build
// buildResult() and buildLog() say what failed and the pass must not render. render(time)
// (FilterPass's) once per frame after the source has rendered.
// GL contract: FilterPass's, which is what the final draw relies on: framebuffer 0 bound, no
// program in use, unit 0 active with no 2D texture bound, viewport at the screen size.
#pragma once

#include "passes/FilterPass.h"

namespace tw {

class PostFxPass : public FilterPass {
  public:
    PostFxPass(int width, int height, const RenderTarget* source);
};

}  // namespace tw

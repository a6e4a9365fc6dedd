// The second pass: anti-aliases the source pass's colour texture (FXAA) into its own target.
//
// Construct with the rendering size and the pass it reads (not owned); after a failed build
// buildResult() and buildLog() say what failed and the pass must not render. render(time)
// (FilterPass's) once per frame after the source has rendered.
// GL contract: FilterPass's (unit 0 active and empty, no program, framebuffer 0 and the screen's
// viewport afterwards).
#pragma once

#include "passes/FilterPass.h"

namespace tw {

class FxaaPass : public FilterPass {
  public:
    FxaaPass(int width, int height, const RenderTarget* source);
};

}  // namespace tw

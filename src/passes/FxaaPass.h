// The second pass: anti-aliases the source pass's colour texture (FXAA) into its own target.
//
// Construct with the rendering size, the pass it reads (not owned) and, where that pass is the
// tiled scene, its tiles (not owned); after a failed build buildResult() and buildLog() say what
// failed and the pass must not render. render(time) once per frame after the source has rendered;
// warmUp() within the warm-up's one-pixel box (drawOnOnePixel()).
// Inside the sky's tiles the filter leaves the picture as it is (at most one level off, where the
// clouds vary fastest), so there the pass copies the source and filters only the rest.
// GL contract: FilterPass's (unit 0 active and empty, no program, framebuffer 0 and the screen's
// viewport afterwards).
#pragma once

#include "gl/PixelRects.h"
#include "gl/ShaderProgram.h"
#include "passes/FilterPass.h"
#include "passes/SceneTiles.h"

namespace tw {

class FxaaPass : public FilterPass {
  public:
    FxaaPass(int width, int height, const RenderTarget* source,
             const SceneTiles* sourceTiles = nullptr);
    // Hides FilterPass::render: the filter over all but the sky's inner parts, a copy over those.
    void render(float time);
    // Both programs drawn once.
    void warmUp();

  private:
    void useCopy();

    const SceneTiles* tiles;
    // The final draw's plain copy (stretch.frag.glsl), reading the source through the nearest
    // sampler: each pixel its own texel, unchanged. Not built where the GL has no sampler
    // objects; the filter then covers the whole target.
    ShaderProgram copy;
    bool copyReady = false;
    PixelRects filtered;
    PixelRects copied;
};

}  // namespace tw

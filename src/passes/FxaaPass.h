// The second pass: anti-aliases the source pass's colour texture (FXAA) into its own target.
//
// Construct with the screen size and the pass it reads (not owned); a failed build prints
// "FXAA Shader : ERROR" and exits 1. render(time) once per frame after the source has rendered.
// GL contract: makes unit 0 active, binds the source's colour texture there for the draw and
// unbinds it after; leaves unit 0 active, no program in use, framebuffer 0 bound and the
// viewport at the screen size.
#pragma once

#include "gl/RenderTarget.h"
#include "gl/ShaderProgram.h"

namespace tw {

class FxaaPass : public RenderTarget {
  public:
    FxaaPass(int width, int height, const RenderTarget* source);
    void render(float time);

  private:
    const RenderTarget* source;
    ShaderProgram program;
};

}  // namespace tw

// The second pass: anti-aliases the source pass's colour texture (FXAA) into its own target.
//
// Construct with the screen size and the pass it reads (not owned); after a failed build
// buildResult() and buildLog() say what failed and the pass must not render. render(time) once
// per frame after the source has rendered.
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

    // ShaderProgram::kBuilt, or the stage that failed, with the compiler or linker log.
    int buildResult() const { return result; }
    const std::string& buildLog() const { return program.log(); }

  private:
    const RenderTarget* source;
    ShaderProgram program;
    int result;
};

}  // namespace tw

// What the FXAA and post-effect passes share: one program drawn over the whole of their own
// target, reading the source pass's colour texture on unit 0 and told this target's size.
//
// A subclass constructs it with the rendering size, the pass it reads (not owned), its program's
// sources and the names of its sampler and size uniforms; after a failed build buildResult() and
// buildLog() say what failed and the pass must not render. render(time) draws one frame.
// GL contract of render(): makes unit 0 active, binds the source's colour texture there for the
// draw and unbinds it after; leaves unit 0 active with no 2D texture bound, no program in use,
// framebuffer 0 bound and the viewport at the screen size.
#pragma once

#include "gl/RenderTarget.h"
#include "gl/ShaderProgram.h"

namespace tw {

class FilterPass : public RenderTarget {
  public:
    // ShaderProgram::kBuilt, or the stage that failed, with the compiler or linker log.
    int buildResult() const { return result; }
    const std::string& buildLog() const { return program.log(); }
    // Takes the time only because every pass renders alike (PassChain hands the same time to all
    // three); a filter does not depend on it.
    void render(float time);

  protected:
    FilterPass(int width, int height, const RenderTarget* source, const char* vertexSource,
               const char* fragmentSource, const char* samplerUniform, const char* sizeUniform);

  private:
    const RenderTarget* source;
    const char* samplerUniform;
    const char* sizeUniform;
    ShaderProgram program;
    int result;
};

}  // namespace tw

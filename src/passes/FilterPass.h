// What the FXAA and post-effect passes share: one program drawn over the whole of their own
// target (no depth buffer), reading the source pass's colour texture on unit 0 (bilinear) and again
// on unit 1 through a nearest-filtering sampler object, for reads at texel centres, and told this
// target's size.
//
// A subclass constructs it with the rendering size, the pass it reads (not owned), its program's
// sources and the names of its two sampler uniforms and its size uniform; after a failed build
// buildResult() and buildLog() say what failed and the pass must not render. render(time) draws
// one frame. Destroy while the context is current (the sampler object).
// GL contract of render(): binds the source's colour texture on units 1 and 0 for the draw, with
// the sampler on unit 1, and unbinds all three after; leaves unit 0 active with no 2D texture
// bound, no sampler on unit 1, no program in use, framebuffer 0 bound and the viewport at the
// screen size.
#pragma once

#include "gl/RenderTarget.h"
#include "gl/ShaderProgram.h"

namespace tw {

class FilterPass : public RenderTarget {
  public:
    // ShaderProgram::kBuilt, or the stage that failed, with the compiler or linker log.
    int buildResult() const { return result; }
    const std::string& buildLog() const { return program.log(); }
    ~FilterPass();
    FilterPass(const FilterPass&) = delete;
    FilterPass& operator=(const FilterPass&) = delete;

    // Takes the time only because every pass renders alike (PassChain hands the same time to all
    // three); a filter does not depend on it.
    void render(float time);

  protected:
    // render() is beginDraw(), the quad, endDraw(): between them the program is in use with its
    // uniforms set and the source bound, and the target is bound.
    void beginDraw();
    void endDraw();
    FilterPass(int width, int height, const RenderTarget* source, const char* vertexSource,
               const char* fragmentSource, const char* samplerUniform,
               const char* texelSamplerUniform, const char* sizeUniform);

  private:
    const RenderTarget* source;
    const char* samplerUniform;
    const char* texelSamplerUniform;
    const char* sizeUniform;
    ShaderProgram program;
    int result;
    // Nearest filtering for the centre reads: the same values as bilinear there, and llvmpipe
    // samples nearest in a fraction of the instructions. 0 where the GL has no sampler objects;
    // unit 1 then filters as the texture does, which gives the same picture.
    GLuint texelSampler = 0;
};

}  // namespace tw

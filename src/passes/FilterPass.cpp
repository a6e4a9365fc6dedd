#include "passes/FilterPass.h"

#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"

namespace tw {

FilterPass::FilterPass(int width, int height, const RenderTarget* source, const char* vertexSource,
                       const char* fragmentSource, const char* samplerUniform,
                       const char* texelSamplerUniform, const char* sizeUniform)
    : RenderTarget(Depth::kNone),
      source(source),
      samplerUniform(samplerUniform),
      texelSamplerUniform(texelSamplerUniform),
      sizeUniform(sizeUniform),
      result(program.build(vertexSource, fragmentSource)) {
    if (result != ShaderProgram::kBuilt)
        return;
    resize(width, height);
    if (glGenSamplers != nullptr) {
        glGenSamplers(1, &texelSampler);
        glSamplerParameteri(texelSampler, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glSamplerParameteri(texelSampler, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glSamplerParameteri(texelSampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glSamplerParameteri(texelSampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
}

FilterPass::~FilterPass() {
    if (texelSampler != 0)
        glDeleteSamplers(1, &texelSampler);
}

void FilterPass::render(float /*time*/) {
    beginDraw();
    FullscreenQuad::draw();
    endDraw();
}

void FilterPass::beginDraw() {
    begin();
    program.use();
    // Looked up every frame: the frame loop may have resized the targets since the last one, and
    // the filters measure their offsets in texels of this target.
    program.setUniform2f(sizeUniform, static_cast<float>(width), static_cast<float>(height));
    program.setUniform1i(samplerUniform, 0);
    program.setUniform1i(texelSamplerUniform, 1);
    // Replaces whatever the pass before left on units 1 and 0; each pass binds its own again.
    glActiveTextureARB(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, source->colorTexture());
    if (texelSampler != 0)
        glBindSampler(1, texelSampler);
    glActiveTextureARB(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, source->colorTexture());
}

void FilterPass::endDraw() {
    // Unit 0 active and empty, unit 1 empty with no sampler, no program, framebuffer 0: what the
    // next pass or the final draw builds on (the scene binds its units' textures at every draw).
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTextureARB(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    if (texelSampler != 0)
        glBindSampler(1, 0);
    glActiveTextureARB(GL_TEXTURE0);
    program.unuse();
    end();
}

}  // namespace tw

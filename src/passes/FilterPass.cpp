#include "passes/FilterPass.h"

#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"

namespace tw {

FilterPass::FilterPass(int width, int height, const RenderTarget* source, const char* vertexSource,
                       const char* fragmentSource, const char* samplerUniform,
                       const char* sizeUniform)
    : source(source),
      samplerUniform(samplerUniform),
      sizeUniform(sizeUniform),
      result(program.build(vertexSource, fragmentSource)) {
    if (result == ShaderProgram::kBuilt)
        resize(width, height);
}

void FilterPass::render(float /*time*/) {
    begin();
    program.use();
    // Looked up every frame: the frame loop may have resized the targets since the last one, and
    // the filters measure their offsets in texels of this target.
    program.setUniform2f(sizeUniform, static_cast<float>(width), static_cast<float>(height));
    program.setUniform1i(samplerUniform, 0);
    // Replaces whatever the pass before left on unit 0; each pass binds its own again.
    glActiveTextureARB(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, source->colorTexture());
    FullscreenQuad::draw();
    // Unit 0 active and empty, no program, framebuffer 0: what the next pass or the final draw
    // builds on.
    glBindTexture(GL_TEXTURE_2D, 0);
    program.unuse();
    end();
}

}  // namespace tw

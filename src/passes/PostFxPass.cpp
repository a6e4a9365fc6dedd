#include "passes/PostFxPass.h"

#include "embedded/passthroughVertexSource.h"
#include "embedded/postFxFragmentSource.h"
#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"

namespace tw {

PostFxPass::PostFxPass(int width, int height, const RenderTarget* source)
    : source(source), result(program.build(passthroughVertexSource, postFxFragmentSource)) {
    if (result == ShaderProgram::kBuilt)
        resize(width, height);
}

void PostFxPass::render(float /*time*/) {
    begin();
    program.use();
    program.setUniform1i("tex", 0);
    // The fringe is measured in texels of this target, so it follows every resize.
    program.setUniform2f("res", static_cast<float>(width), static_cast<float>(height));
    glActiveTextureARB(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, source->colorTexture());
    FullscreenQuad::draw();
    // Unit 0 active and empty, no program, framebuffer 0: what the final draw builds on.
    glBindTexture(GL_TEXTURE_2D, 0);
    program.unuse();
    end();
}

}  // namespace tw

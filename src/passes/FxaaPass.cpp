#include "passes/FxaaPass.h"

#include "embedded/fxaaFragmentSource.h"
#include "embedded/fxaaVertexSource.h"
#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"

namespace tw {

FxaaPass::FxaaPass(int width, int height, const RenderTarget* source)
    : source(source), result(program.build(fxaaVertexSource, fxaaFragmentSource)) {
    if (result == ShaderProgram::kBuilt)
        resize(width, height);
}

void FxaaPass::render(float /*time*/) {
    begin();
    program.use();
    // Looked up every frame: the frame loop may have resized the targets since the last one.
    program.setUniform2f("resolution", static_cast<float>(width), static_cast<float>(height));
    program.setUniform1i("lastBuffer", 0);
    // Replaces whatever the scene pass left on unit 0; it binds its own again next frame.
    glActiveTextureARB(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, source->colorTexture());
    FullscreenQuad::draw();
    glBindTexture(GL_TEXTURE_2D, 0);
    program.unuse();
    end();
}

}  // namespace tw

#include "passes/ScreenStretch.h"

#include "embedded/stretchFragmentSource.h"
#include "embedded/stretchVertexSource.h"
#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"

namespace tw {

int ScreenStretch::build() {
    return program.build(stretchVertexSource, stretchFragmentSource);
}

void ScreenStretch::draw(GLuint frameTexture, int screenWidth, int screenHeight) {
    glViewport(0, 0, screenWidth, screenHeight);
    program.use();
    program.setUniform1i("frame", 0);
    glActiveTextureARB(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, frameTexture);
    FullscreenQuad::draw();
    glBindTexture(GL_TEXTURE_2D, 0);
    program.unuse();
}

}  // namespace tw

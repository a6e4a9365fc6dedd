// The desktop's side of the quad's drawing: the fixed-function pipeline's client arrays.
#include "gl/FullscreenQuad.h"

#include "gl/GlExtensionTable.h"

namespace tw {

// Identity matrices: a fixed-function draw of the quad's -1..1 corners would cover the viewport.
void FullscreenQuad::setFixedFunctionState(int screenWidth, int screenHeight) {
    glEnable(GL_TEXTURE_1D);
    glEnable(GL_TEXTURE_2D);
    glViewport(0, 0, screenWidth, screenHeight);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void FullscreenQuad::drawBuffer(GLuint buffer, GLenum mode, GLsizei count,
                                std::size_t texCoordOffset, GLsizei instances) {
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    // With a buffer bound, the "pointers" are byte offsets into it.
    glVertexPointer(2, GL_FLOAT, 0, nullptr);
    glTexCoordPointer(2, GL_FLOAT, 0, reinterpret_cast<const void*>(texCoordOffset));
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    if (instances == 1)
        glDrawArrays(mode, 0, count);
    else
        glDrawArraysInstancedARB(mode, 0, count, instances);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}

}  // namespace tw

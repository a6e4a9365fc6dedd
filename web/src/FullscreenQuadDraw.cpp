// The browser's side of the quad's drawing (gl/FullscreenQuad.h): the same buffers, fed to vertex
// attributes 0 (position) and 1 (texture coordinates), where the dialect prelude reads gl_Vertex
// and gl_MultiTexCoord0; WebGL 2 has no client arrays. drawBuffer() leaves no buffer bound and
// both attribute arrays off.
#define GL_GLEXT_PROTOTYPES
#include "gl/FullscreenQuad.h"

#include <GL/glext.h>

namespace tw {

// WebGL 2 has no fixed-function state; every draw is a shader that sets what it needs.
void FullscreenQuad::setFixedFunctionState(int /*screenWidth*/, int /*screenHeight*/) {}

void FullscreenQuad::drawBuffer(GLuint buffer, GLenum mode, GLsizei count,
                                std::size_t texCoordOffset, GLsizei instances) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 0,
                          reinterpret_cast<const void*>(texCoordOffset));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    if (instances == 1)
        glDrawArrays(mode, 0, count);
    else
        glDrawArraysInstanced(mode, 0, count, instances);
    glDisableVertexAttribArray(1);
    glDisableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

}  // namespace tw

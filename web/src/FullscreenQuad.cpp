// The browser's side of gl/FullscreenQuad.h: the same buffer and layout, fed to vertex attributes
// 0 (position) and 1 (texture coordinates), where the dialect prelude reads gl_Vertex and
// gl_MultiTexCoord0; WebGL 2 has no client arrays. draw() leaves no buffer bound and both
// attribute arrays off.
#define GL_GLEXT_PROTOTYPES
#include "gl/FullscreenQuad.h"

#include <GL/glext.h>

namespace tw {

GLuint FullscreenQuad::quadBuffer = 0;

namespace {

const GLfloat kPositions[8] = {-1, -1, 1, -1, -1, 1, 1, 1};
const GLfloat kTexCoords[8] = {0, 0, 1, 0, 0, 1, 1, 1};
const GLintptr kTexCoordOffset = sizeof(kPositions);

}  // namespace

void FullscreenQuad::create() {
    glGenBuffers(1, &quadBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(kPositions) + sizeof(kTexCoords), nullptr, GL_STATIC_DRAW);
    glBufferSubData(GL_ARRAY_BUFFER, 0, sizeof(kPositions), kPositions);
    glBufferSubData(GL_ARRAY_BUFFER, kTexCoordOffset, sizeof(kTexCoords), kTexCoords);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void FullscreenQuad::draw() {
    glBindBuffer(GL_ARRAY_BUFFER, quadBuffer);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 0,
                          reinterpret_cast<const void*>(kTexCoordOffset));
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glDisableVertexAttribArray(1);
    glDisableVertexAttribArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void FullscreenQuad::destroy() {
    glDeleteBuffers(1, &quadBuffer);
}

}  // namespace tw

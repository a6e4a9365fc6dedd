#include "gl/FullscreenQuad.h"

#include "gl/GlExtensionTable.h"

namespace tw {

GLuint FullscreenQuad::quadBuffer = 0;

namespace {

const GLfloat kPositions[8] = {-1, -1, 1, -1, -1, 1, 1, 1};
const GLfloat kTexCoords[8] = {0, 0, 1, 0, 0, 1, 1, 1};
static_assert(sizeof(kPositions) == FullscreenQuad::kTexCoordOffset);

}  // namespace

void FullscreenQuad::create() {
    glGenBuffersARB(1, &quadBuffer);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, quadBuffer);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, sizeof(kPositions) + sizeof(kTexCoords), nullptr,
                    GL_STATIC_DRAW_ARB);
    glBufferSubDataARB(GL_ARRAY_BUFFER_ARB, 0, sizeof(kPositions), kPositions);
    glBufferSubDataARB(GL_ARRAY_BUFFER_ARB, kTexCoordOffset, sizeof(kTexCoords), kTexCoords);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}

void FullscreenQuad::draw() {
    drawBuffer(quadBuffer, GL_TRIANGLE_STRIP, 4, kTexCoordOffset);
}

void FullscreenQuad::drawInstances(GLsizei instances) {
    drawBuffer(quadBuffer, GL_TRIANGLE_STRIP, 4, kTexCoordOffset, instances);
}

void FullscreenQuad::destroy() {
    glDeleteBuffersARB(1, &quadBuffer);
}

}  // namespace tw

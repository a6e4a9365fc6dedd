#include "gl/FullscreenQuad.h"

#include "gl/GlExtensionTable.h"

namespace tw {

GLuint FullscreenQuad::quadBuffer = 0;

namespace {

// Two separate blocks, not interleaved: positions in bytes 0..31, texture coordinates in 32..63.
const GLfloat kPositions[8] = {-1, -1, 1, -1, -1, 1, 1, 1};
const GLfloat kTexCoords[8] = {0, 0, 1, 0, 0, 1, 1, 1};
const GLintptrARB kTexCoordOffset = sizeof(kPositions);

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
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, quadBuffer);
    // With a buffer bound, the "pointers" are byte offsets into it.
    glVertexPointer(2, GL_FLOAT, 0, nullptr);
    glTexCoordPointer(2, GL_FLOAT, 0, reinterpret_cast<const void*>(kTexCoordOffset));
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
}

void FullscreenQuad::destroy() {
    glDeleteBuffersARB(1, &quadBuffer);
}

}  // namespace tw

#include "gl/TextureUpload.h"

#include <GL/glext.h>

namespace tw {

// Mipmap generation is switched on before level 0 arrives, so the GL builds the chain from it.
void uploadMipmapped2D(GLsizei width, GLsizei height, GLenum format, const void* pixels) {
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glTexImage2D(GL_TEXTURE_2D, 0, format, width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
}

GLenum texelRowTarget() {
    return GL_TEXTURE_1D;
}

void uploadTexelRow(GLsizei count, const float* rgb) {
    glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB, count, 0, GL_RGB, GL_FLOAT, rgb);
}

void allocateDepthTexture(GLsizei width, GLsizei height) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT,
                 GL_FLOAT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_DEPTH_TEXTURE_MODE, GL_LUMINANCE);
}

GLint depthTextureFilter() {
    return GL_LINEAR;
}

}  // namespace tw

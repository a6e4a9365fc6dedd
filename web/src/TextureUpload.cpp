// The browser's side of gl/TextureUpload.h: WebGL 2 builds mipmaps on request after the upload,
// keeps a texel row as a one-texel-high 2D texture of 32-bit floats (nearest filtering only,
// which is all the row is sampled with), and takes 24-bit depth only as unsigned integers, which
// it does not filter.
#define GL_GLEXT_PROTOTYPES
#include "gl/TextureUpload.h"

#include <GL/glext.h>

namespace tw {

void uploadMipmapped2D(GLsizei width, GLsizei height, GLenum format, const void* pixels) {
    glTexImage2D(GL_TEXTURE_2D, 0, format, width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
    glGenerateMipmap(GL_TEXTURE_2D);
}

GLenum texelRowTarget() {
    return GL_TEXTURE_2D;
}

void uploadTexelRow(GLsizei count, const float* rgb) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB32F, count, 1, 0, GL_RGB, GL_FLOAT, rgb);
}

void allocateColorTexture(GLsizei width, GLsizei height) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
}

void allocateDepthTexture(GLsizei width, GLsizei height) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT,
                 GL_UNSIGNED_INT, nullptr);
}

// Nothing samples the depth texture, so nearest costs nothing.
GLint depthTextureFilter() {
    return GL_NEAREST;
}

}  // namespace tw

#include "gl/TextureUpload.h"

#include <GL/glext.h>

#include "gl/MipmapChain.h"

namespace tw {

// RGBA chains are drawn (MipmapChain says why). Otherwise the GL's own generation is switched on
// before level 0 arrives, so that it builds the chain from it.
void uploadMipmapped2D(GLsizei width, GLsizei height, GLenum format, const void* pixels) {
    if (format == GL_RGBA) {
        glTexImage2D(GL_TEXTURE_2D, 0, format, width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
        if (MipmapChain().fill(width, height))
            return;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glTexImage2D(GL_TEXTURE_2D, 0, format, width, height, 0, format, GL_UNSIGNED_BYTE, pixels);
}

GLenum texelRowTarget() {
    return GL_TEXTURE_1D;
}

void uploadTexelRow(GLsizei count, const float* rgb) {
    glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB, count, 0, GL_RGB, GL_FLOAT, rgb);
}

// Stored blue first, as llvmpipe keeps an X window: the final stretch from such a texture into the
// window takes llvmpipe's fast path for plain texture copies, about 40% cheaper at 1920x1080. The
// texels read the same to every shader.
void allocateColorTexture(GLsizei width, GLsizei height) {
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
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

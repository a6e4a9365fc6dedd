#include "gl/MipmapChain.h"

#include <algorithm>

#include "embedded/stretchFragmentSource.h"
#include "embedded/stretchVertexSource.h"
#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"

namespace tw {

MipmapChain::MipmapChain() {
    built = program.build(stretchVertexSource, stretchFragmentSource) == ShaderProgram::kBuilt;
    glGenFramebuffersEXT(1, &framebuffer);
}

MipmapChain::~MipmapChain() {
    glDeleteFramebuffersEXT(1, &framebuffer);
}

bool MipmapChain::fill(GLsizei width, GLsizei height) {
    if (!built)
        return false;
    GLint boundFramebuffer = 0;
    GLint viewport[4] = {0, 0, 0, 0};
    GLint texture = 0;
    GLint minFilter = 0;
    GLint baseLevel = 0;
    GLint maxLevel = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &boundFramebuffer);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, &baseLevel);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, &maxLevel);

    // Each level reads only the one above it, so the level drawn into is never one being read.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    program.use();
    program.setUniform1i("frame", 0);
    for (GLint level = 1; width > 1 || height > 1; ++level) {
        width = std::max(1, width / 2);
        height = std::max(1, height / 2);
        glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, level - 1);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, level - 1);
        glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D,
                                  static_cast<GLuint>(texture), level);
        glViewport(0, 0, width, height);
        FullscreenQuad::draw();
    }
    program.unuse();
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, 0, 0);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(boundFramebuffer));
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, baseLevel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, maxLevel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    return true;
}

}  // namespace tw

#include "gl/RenderTarget.h"

#include <algorithm>

#include "assets/TextureBank.h"
#include "gl/GlExtensionTable.h"
#include "gl/TextureUpload.h"

namespace tw {

namespace {

void setFilterAndWrap(GLint filter) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

}  // namespace

int maxRenderSize() {
    GLint texture = 0;
    GLint renderbuffer = 0;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE_EXT, &renderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    return std::min({texture, renderbuffer, viewport[0], viewport[1]});
}

RenderTarget::RenderTarget(Depth depth) : depthBuffer(depth == Depth::kBuffer) {
    glGenTextures(1, &colorTex);
    glGenTextures(1, &depthTex);
    allocateTextures();
    glGenFramebuffersEXT(1, &fbo);
    glGenRenderbuffersEXT(1, &rbo);
    allocateDepthAndAttach();
}

RenderTarget::~RenderTarget() {
    glDeleteTextures(1, &colorTex);
    glDeleteTextures(1, &depthTex);
    glDeleteFramebuffersEXT(1, &fbo);
    glDeleteRenderbuffersEXT(1, &rbo);
}

void RenderTarget::begin() {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
    glViewport(0, 0, width, height);
    glPushMatrix();
}

void RenderTarget::end() {
    glPopMatrix();
    const TextureBank& bank = TextureBank::instance();
    glViewport(0, 0, bank.screenWidth, bank.screenHeight);
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

void RenderTarget::resize(int width, int height) {
    this->width = width;
    this->height = height;
    allocateTextures();
    allocateDepthAndAttach();
}

// Colour and depth textures at the current size, on whichever unit is active. Contents undefined:
// the owning pass overwrites every pixel at its next render.
void RenderTarget::allocateTextures() {
    glBindTexture(GL_TEXTURE_2D, colorTex);
    allocateColorTexture(width, height);
    setFilterAndWrap(GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);

    glBindTexture(GL_TEXTURE_2D, depthTex);
    allocateDepthTexture(width, height);
    setFilterAndWrap(depthTextureFilter());
    glBindTexture(GL_TEXTURE_2D, 0);
}

void RenderTarget::allocateDepthAndAttach() {
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
    glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, colorTex,
                              0);
    if (depthBuffer) {
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, rbo);
        glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT, width, height);
        glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
        glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT,
                                     GL_RENDERBUFFER_EXT, rbo);
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
}

}  // namespace tw

// The browser's side of gl/RenderTarget.h: the same framebuffer, colour texture, depth texture
// and depth renderbuffer, in the sized formats WebGL 2 requires, and no matrix stack to save
// (the desktop side pushes one around each pass; nothing here reads matrices).
#define GL_GLEXT_PROTOTYPES
#include "gl/RenderTarget.h"

#include <GL/glext.h>

#include "assets/TextureBank.h"

namespace tw {

namespace {

void setFilterAndWrap() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

}  // namespace

RenderTarget::RenderTarget() {
    glGenTextures(1, &colorTex);
    glGenTextures(1, &depthTex);
    allocateTextures();
    glGenFramebuffers(1, &fbo);
    glGenRenderbuffers(1, &rbo);
    allocateDepthAndAttach();
}

RenderTarget::~RenderTarget() {
    glDeleteTextures(1, &colorTex);
    glDeleteTextures(1, &depthTex);
    glDeleteFramebuffers(1, &fbo);
    glDeleteRenderbuffers(1, &rbo);
}

void RenderTarget::begin() {
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glViewport(0, 0, width, height);
}

void RenderTarget::end() {
    const TextureBank& bank = TextureBank::instance();
    glViewport(0, 0, bank.screenWidth, bank.screenHeight);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void RenderTarget::resize(int width, int height) {
    this->width = width;
    this->height = height;
    allocateTextures();
    allocateDepthAndAttach();
}

void RenderTarget::allocateTextures() {
    glBindTexture(GL_TEXTURE_2D, colorTex);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    setFilterAndWrap();
    glBindTexture(GL_TEXTURE_2D, 0);

    // Depth is not filterable here; nothing samples this texture, so nearest costs nothing.
    glBindTexture(GL_TEXTURE_2D, depthTex);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_DEPTH_COMPONENT24, width, height, 0, GL_DEPTH_COMPONENT,
                 GL_UNSIGNED_INT, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
}

void RenderTarget::allocateDepthAndAttach() {
    glBindFramebuffer(GL_FRAMEBUFFER, fbo);
    glBindRenderbuffer(GL_RENDERBUFFER, rbo);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colorTex, 0);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, rbo);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

}  // namespace tw

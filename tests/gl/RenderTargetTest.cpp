// Render targets on the real GL: sizes, names kept across resizes, and the state begin/end leave.
#include <gtest/gtest.h>

#include "assets/TextureBank.h"
#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"
#include "gl/RenderTarget.h"
#include "support/GlTestContext.h"
#include "support/PixelProbe.h"

namespace tw {
namespace {

constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 240;

class RenderTargetTest : public ::testing::Test {
  protected:
    void SetUp() override { test::GlTestContext::ensure(kScreenWidth, kScreenHeight); }
};

void expectTextureSize(GLuint texture, int width, int height) {
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint w = 0;
    GLint h = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
}

void expectRenderbufferSize(GLuint renderbuffer, int width, int height) {
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, renderbuffer);
    const auto query =
        test::glProc<PFNGLGETRENDERBUFFERPARAMETERIVEXTPROC>("glGetRenderbufferParameterivEXT");
    GLint w = 0;
    GLint h = 0;
    query(GL_RENDERBUFFER_EXT, GL_RENDERBUFFER_WIDTH_EXT, &w);
    query(GL_RENDERBUFFER_EXT, GL_RENDERBUFFER_HEIGHT_EXT, &h);
    glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, 0);
    EXPECT_EQ(w, width);
    EXPECT_EQ(h, height);
}

// Fills the target with one colour through begin/draw/end and reads it back.
test::Image fill(RenderTarget& target, float r, float g, float b) {
    target.begin();
    glColor4f(r, g, b, 1.0f);
    FullscreenQuad::draw();
    glColor4f(1, 1, 1, 1);
    target.end();
    return test::readFramebuffer(target.framebuffer(), target.getWidth(), target.getHeight());
}

// A new target is 320x240 in every image, and framebuffer 0 is bound afterwards.
TEST_F(RenderTargetTest, FreshTargetIs320By240) {
    RenderTarget target;
    EXPECT_EQ(target.getWidth(), 320);
    EXPECT_EQ(target.getHeight(), 240);
    expectTextureSize(target.colorTexture(), 320, 240);
    expectTextureSize(target.depthTexture(), 320, 240);
    expectRenderbufferSize(target.renderbuffer(), 320, 240);
    EXPECT_EQ(test::glInteger(GL_FRAMEBUFFER_BINDING_EXT), 0);
}

// Resizing keeps all four names, resizes every image, and begin uses the new viewport.
TEST_F(RenderTargetTest, ResizeKeepsNamesAndSetsSizes) {
    RenderTarget target;
    const GLuint names[4] = {target.framebuffer(), target.renderbuffer(), target.colorTexture(),
                             target.depthTexture()};
    target.resize(1238, 697);
    EXPECT_EQ(target.framebuffer(), names[0]);
    EXPECT_EQ(target.renderbuffer(), names[1]);
    EXPECT_EQ(target.colorTexture(), names[2]);
    EXPECT_EQ(target.depthTexture(), names[3]);
    expectTextureSize(target.colorTexture(), 1238, 697);
    expectTextureSize(target.depthTexture(), 1238, 697);
    expectRenderbufferSize(target.renderbuffer(), 1238, 697);
    target.begin();
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(test::glInteger(GL_FRAMEBUFFER_BINDING_EXT),
              static_cast<GLint>(target.framebuffer()));
    target.end();
    EXPECT_EQ(viewport[2], 1238);
    EXPECT_EQ(viewport[3], 697);
}

// end restores the screen-size viewport and framebuffer 0, whatever the target's size.
TEST_F(RenderTargetTest, EndRestoresScreenViewportAndWindowFramebuffer) {
    RenderTarget target;
    target.resize(100, 50);
    target.begin();
    target.end();
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], TextureBank::instance().screenWidth);
    EXPECT_EQ(viewport[3], TextureBank::instance().screenHeight);
    EXPECT_EQ(test::glInteger(GL_FRAMEBUFFER_BINDING_EXT), 0);
    EXPECT_EQ(test::glInteger(GL_MODELVIEW_STACK_DEPTH), 1)
        << "begin/end must leave the matrix stack";
}

// Drawing still reaches the colour texture after many resizes: it stays attached.
TEST_F(RenderTargetTest, ColourStaysAttachedAcrossResizes) {
    RenderTarget target;
    for (int i = 0; i < 5; ++i)
        target.resize(200 - 30 * i, 100 - 10 * i);
    EXPECT_TRUE(test::probeRect(fill(target, 1, 0, 1), 0, 0, 80, 60, {255, 0, 255, 255}, 0));
    const test::Image texture = test::readTexture(target.colorTexture(), 80, 60);
    EXPECT_TRUE(test::probeRect(texture, 0, 0, 80, 60, {255, 0, 255, 255}, 0));
}

// The colour texture samples with clamp-to-edge and linear filtering.
TEST_F(RenderTargetTest, ColourTextureClampsAndFiltersLinearly) {
    RenderTarget target;
    glBindTexture(GL_TEXTURE_2D, target.colorTexture());
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_CLAMP_TO_EDGE);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
    EXPECT_EQ(value, GL_CLAMP_TO_EDGE);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
}

}  // namespace
}  // namespace tw

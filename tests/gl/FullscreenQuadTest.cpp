// The full-screen quad on the real GL: coverage, orientation, and the state it leaves.
#include <gtest/gtest.h>

#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"
#include "gl/RenderTarget.h"
#include "support/GlTestContext.h"
#include "support/PixelProbe.h"

namespace tw {
namespace {

using test::probeRect;

class FullscreenQuadTest : public ::testing::Test {
  protected:
    void SetUp() override { test::GlTestContext::ensure(); }
};

// Fixed-function draw of a 2x2 texture: each quadrant shows its texel, lower-left is (0, 0).
TEST_F(FullscreenQuadTest, CoversTheViewportLowerLeftToUpperRight) {
    const GLubyte texels[16] = {255, 0, 0,   255, 0,   255, 0,   255,   // row t=0: red, green
                                0,   0, 255, 255, 255, 255, 255, 255};  // row t=1: blue, white
    RenderTarget target;  // before the texture: creating a target unbinds unit 0's texture
    target.resize(64, 48);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);

    target.begin();
    glEnable(GL_TEXTURE_2D);
    FullscreenQuad::draw();
    glDisable(GL_TEXTURE_2D);
    target.end();
    glBindTexture(GL_TEXTURE_2D, 0);
    glDeleteTextures(1, &texture);

    const test::Image image = test::readFramebuffer(target.framebuffer(), 64, 48);
    EXPECT_TRUE(probeRect(image, 0, 0, 32, 24, {255, 0, 0, 255}, 0));
    EXPECT_TRUE(probeRect(image, 32, 0, 32, 24, {0, 255, 0, 255}, 0));
    EXPECT_TRUE(probeRect(image, 0, 24, 32, 24, {0, 0, 255, 255}, 0));
    EXPECT_TRUE(probeRect(image, 32, 24, 32, 24, {255, 255, 255, 255}, 0));
}

// After draw no array buffer is bound and both client arrays are off.
TEST_F(FullscreenQuadTest, DrawLeavesNoBufferOrClientArray) {
    FullscreenQuad::draw();
    GLint bound = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING_ARB, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
}

// The buffer holds the positions, then the texture coordinates, not interleaved.
TEST_F(FullscreenQuadTest, BufferLayoutIsPositionsThenTexCoords) {
    GLfloat contents[16] = {};
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, FullscreenQuad::buffer());
    test::glProc<PFNGLGETBUFFERSUBDATAARBPROC>("glGetBufferSubDataARB")(GL_ARRAY_BUFFER_ARB, 0,
                                                                        sizeof(contents), contents);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    const GLfloat expected[16] = {-1, -1, 1, -1, -1, 1, 1, 1, 0, 0, 1, 0, 0, 1, 1, 1};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(contents[i], expected[i]) << i;
}

}  // namespace
}  // namespace tw

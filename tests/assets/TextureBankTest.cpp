// The texture bank after build(), read back from the real GL.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "assets/ImageRecord.h"
#include "assets/ScrollMessage.h"
#include "assets/ScrollText.h"
#include "assets/TextureBank.h"
#include "support/GlTestContext.h"
#include "support/PixelProbe.h"

namespace tw::test {
namespace {

// Each texture arrives with its target, size, format and mipmaps, holding what was
// generated or embedded, and build() leaves nothing bound. Catches a swapped upload, a lost
// mipmap chain, a picture uploaded upside down or a scroll texel rounded to the wrong cell.
TEST(TextureBank, UploadsEveryTextureAsGenerated) {
    GlTestContext::ensure(640, 360);
    glEnable(GL_TEXTURE_1D);  // as the intro's set-up leaves them before the build
    glEnable(GL_TEXTURE_2D);
    TextureBank& bank = TextureBank::instance();
    bank.build();
    EXPECT_EQ(glInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    EXPECT_EQ(glInteger(GL_TEXTURE_BINDING_2D), 0);
    const struct {
        const Texture& texture;
        GLenum target;
        GLint width, height, format, level1Width;
    } cases[] = {{bank.logo, GL_TEXTURE_2D, 1920, 608, GL_RGBA, 960},
                 {bank.fbm, GL_TEXTURE_2D, 256, 256, GL_LUMINANCE, 128},
                 {bank.checker, GL_TEXTURE_2D, 256, 256, GL_LUMINANCE, 128},
                 {bank.font, GL_TEXTURE_2D, 144, 60, GL_LUMINANCE, 0},
                 {bank.scroll, GL_TEXTURE_1D, 639, 1, GL_RGB, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        ASSERT_EQ(c.texture.getTarget(), c.target);
        glBindTexture(c.target, c.texture.getId());
        GLint width = -1, height = -1, format = -1, level1Width = -1;
        glGetTexLevelParameteriv(c.target, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(c.target, 0, GL_TEXTURE_HEIGHT, &height);
        glGetTexLevelParameteriv(c.target, 0, GL_TEXTURE_INTERNAL_FORMAT, &format);
        glGetTexLevelParameteriv(c.target, 1, GL_TEXTURE_WIDTH, &level1Width);
        glBindTexture(c.target, 0);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        EXPECT_EQ(format, c.format);
        EXPECT_EQ(level1Width, c.level1Width);
    }
    const Image font = readTexture(bank.font.getId(), 144, 60);
    for (int i = 0; i < 144 * 60; ++i)
        ASSERT_EQ(font.at(i % 144, i / 144)[0], fontRecord().pixels()[i]) << "texel " << i;
    // The checkerboard: white blocks of 128 and 127 texels on a black cross.
    const Image board = readTexture(bank.checker.getId(), 256, 256);
    EXPECT_TRUE(probeRect(board, 0, 0, 128, 128, {255, 0, 0, 255}, 0));
    EXPECT_TRUE(probeRect(board, 128, 0, 1, 256, {0, 0, 0, 255}, 0));
    EXPECT_TRUE(probeRect(board, 129, 0, 127, 128, {0, 0, 0, 255}, 0));
    EXPECT_TRUE(probeRect(board, 129, 129, 127, 127, {255, 0, 0, 255}, 0));
    // Unsized GL_RGB may be stored at 8 bits a channel: half a step of 1/255.
    const std::vector<float> expected = scrollTextTexels(scrollMessage, kScrollMessageBytes);
    std::vector<float> stored(639 * 3, -1.0f);
    glBindTexture(GL_TEXTURE_1D, bank.scroll.getId());
    glGetTexImage(GL_TEXTURE_1D, 0, GL_RGB, GL_FLOAT, stored.data());
    glBindTexture(GL_TEXTURE_1D, 0);
    for (size_t i = 0; i < stored.size(); ++i)
        ASSERT_NEAR(stored[i], expected[i], 0.5f / 255.0f + 1e-6f) << "component " << i;
}

}  // namespace
}  // namespace tw::test

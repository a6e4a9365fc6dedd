// The texture bank after build(), read back from the real GL.
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <vector>

#include "assets/ImageRecord.h"
#include "assets/ScrollMessage.h"
#include "assets/ScrollText.h"
#include "assets/TextureBank.h"
#include "gl/GlExtensionTable.h"
#include "support/GlTestContext.h"
#include "support/PixelProbe.h"

namespace {

using tw::TextureBank;

class TextureBankTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        tw::test::GlTestContext::ensure(640, 360);
        glEnable(GL_TEXTURE_1D);
        glEnable(GL_TEXTURE_2D);
        TextureBank::instance().build();
    }

    static GLint level(GLenum target, GLuint id, int lod, GLenum what) {
        glBindTexture(target, id);
        GLint value = -1;
        glGetTexLevelParameteriv(target, lod, what, &value);
        glBindTexture(target, 0);
        return value;
    }

    static GLint parameter(GLenum target, GLuint id, GLenum what) {
        glBindTexture(target, id);
        GLint value = -1;
        glGetTexParameteriv(target, what, &value);
        glBindTexture(target, 0);
        return value;
    }
};

TEST_F(TextureBankTest, LeavesUnitZeroActiveAndNothingBound) {
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    EXPECT_EQ(active, GL_TEXTURE0);
    for (int unit = 0; unit < 5; ++unit) {
        tw::glActiveTextureARB(GL_TEXTURE0 + unit);
        GLint bound1d = -1, bound2d = -1;
        glGetIntegerv(GL_TEXTURE_BINDING_1D, &bound1d);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound2d);
        EXPECT_EQ(bound1d, 0) << "unit " << unit;
        EXPECT_EQ(bound2d, 0) << "unit " << unit;
    }
    tw::glActiveTextureARB(GL_TEXTURE0);
}

TEST_F(TextureBankTest, TexturesHaveTheirTargetsAndSizes) {
    TextureBank& bank = TextureBank::instance();
    struct Case {
        const char* name;
        const tw::Texture& texture;
        GLenum target;
        int width, height;
        GLint format;
    };
    const Case cases[] = {{"logo", bank.logo, GL_TEXTURE_2D, 1920, 608, GL_RGBA},
                          {"fbm", bank.fbm, GL_TEXTURE_2D, 256, 256, GL_LUMINANCE},
                          {"checker", bank.checker, GL_TEXTURE_2D, 256, 256, GL_LUMINANCE},
                          {"font", bank.font, GL_TEXTURE_2D, 144, 60, GL_LUMINANCE},
                          {"scroll", bank.scroll, GL_TEXTURE_1D, 639, 1, GL_RGB}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.texture.getTarget(), c.target);
        EXPECT_EQ(level(c.target, c.texture.getId(), 0, GL_TEXTURE_WIDTH), c.width);
        EXPECT_EQ(level(c.target, c.texture.getId(), 0, GL_TEXTURE_HEIGHT), c.height);
        EXPECT_EQ(level(c.target, c.texture.getId(), 0, GL_TEXTURE_INTERNAL_FORMAT), c.format);
    }
}

TEST_F(TextureBankTest, FiltersAreSmoothForPicturesAndNearestForText) {
    TextureBank& bank = TextureBank::instance();
    for (const tw::Texture* t : {&bank.logo, &bank.fbm, &bank.checker}) {
        EXPECT_EQ(parameter(GL_TEXTURE_2D, t->getId(), GL_TEXTURE_MIN_FILTER),
                  GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(parameter(GL_TEXTURE_2D, t->getId(), GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(parameter(GL_TEXTURE_2D, t->getId(), GL_TEXTURE_WRAP_S), GL_REPEAT);
    }
    EXPECT_EQ(parameter(GL_TEXTURE_2D, bank.font.getId(), GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(parameter(GL_TEXTURE_2D, bank.font.getId(), GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(parameter(GL_TEXTURE_1D, bank.scroll.getId(), GL_TEXTURE_MIN_FILTER), GL_NEAREST);
    EXPECT_EQ(parameter(GL_TEXTURE_1D, bank.scroll.getId(), GL_TEXTURE_MAG_FILTER), GL_NEAREST);
    EXPECT_EQ(parameter(GL_TEXTURE_1D, bank.scroll.getId(), GL_TEXTURE_WRAP_S), GL_REPEAT);
}

TEST_F(TextureBankTest, MipmapChainsReachOneTexel) {
    TextureBank& bank = TextureBank::instance();
    // 1920x608 halves ten times to 1x1; 256x256 eight times.
    EXPECT_EQ(level(GL_TEXTURE_2D, bank.logo.getId(), 1, GL_TEXTURE_WIDTH), 960);
    EXPECT_EQ(level(GL_TEXTURE_2D, bank.logo.getId(), 10, GL_TEXTURE_WIDTH), 1);
    EXPECT_EQ(level(GL_TEXTURE_2D, bank.logo.getId(), 10, GL_TEXTURE_HEIGHT), 1);
    for (const tw::Texture* t : {&bank.fbm, &bank.checker}) {
        EXPECT_EQ(level(GL_TEXTURE_2D, t->getId(), 1, GL_TEXTURE_WIDTH), 128);
        EXPECT_EQ(level(GL_TEXTURE_2D, t->getId(), 8, GL_TEXTURE_WIDTH), 1);
    }
    // The font has no mipmaps.
    EXPECT_EQ(level(GL_TEXTURE_2D, bank.font.getId(), 1, GL_TEXTURE_WIDTH), 0);
}

TEST_F(TextureBankTest, PicturesArriveAsStored) {
    TextureBank& bank = TextureBank::instance();
    const tw::ImageRecord font = tw::fontRecord();
    const tw::test::Image image = tw::test::readTexture(bank.font.getId(), 144, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 144; ++x)
            ASSERT_EQ(image.at(x, y)[0], font.pixels()[y * 144 + x]) << x << "," << y;
    // Luminance reads back as red, with green and blue 0.
    const tw::test::Image board = tw::test::readTexture(bank.checker.getId(), 256, 256);
    EXPECT_TRUE(tw::test::probeRect(board, 0, 0, 128, 128, {255, 0, 0, 255}, 0));
    EXPECT_TRUE(tw::test::probeRect(board, 128, 0, 1, 256, {0, 0, 0, 255}, 0));
    EXPECT_TRUE(tw::test::probeRect(board, 0, 128, 256, 1, {0, 0, 0, 255}, 0));
    EXPECT_TRUE(tw::test::probeRect(board, 129, 129, 127, 127, {255, 0, 0, 255}, 0));
    EXPECT_TRUE(tw::test::probeRect(board, 129, 0, 127, 128, {0, 0, 0, 255}, 0));
}

TEST_F(TextureBankTest, ScrollTexelsHoldCellCornersWithinEightBitRounding) {
    const std::vector<float> expected =
        tw::scrollTextTexels(tw::scrollMessage, tw::kScrollMessageBytes);
    std::vector<float> stored(639 * 3, -1.0f);
    glBindTexture(GL_TEXTURE_1D, TextureBank::instance().scroll.getId());
    glGetTexImage(GL_TEXTURE_1D, 0, GL_RGB, GL_FLOAT, stored.data());
    glBindTexture(GL_TEXTURE_1D, 0);
    // Unsized GL_RGB may be stored at 8 bits a channel: half a step of 1/255.
    for (size_t i = 0; i < stored.size(); ++i)
        ASSERT_NEAR(stored[i], expected[i], 0.5f / 255.0f + 1e-6f) << "component " << i;
}

TEST_F(TextureBankTest, KeepsTheScreenSize) {
    EXPECT_EQ(TextureBank::instance().screenWidth, 640);
    EXPECT_EQ(TextureBank::instance().screenHeight, 360);
}

}  // namespace

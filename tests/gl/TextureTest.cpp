// Texture objects: name, target and the unit they bind to and unbind from.
#include <gtest/gtest.h>

#include "gl/GlExtensionTable.h"
#include "gl/Texture.h"
#include "support/GlTestContext.h"
#include "support/PixelProbe.h"

namespace tw {
namespace {

class TextureTest : public ::testing::Test {
  protected:
    void SetUp() override { test::GlTestContext::ensure(); }
    void TearDown() override { glActiveTextureARB(GL_TEXTURE0); }
};

// A fresh texture is a 2D texture on unit 0 with a real name.
TEST_F(TextureTest, FreshTextureIs2DOnUnitZero) {
    Texture texture;
    EXPECT_EQ(texture.getTarget(), static_cast<GLenum>(GL_TEXTURE_2D));
    EXPECT_EQ(texture.getUnit(), 0);
    EXPECT_NE(texture.getId(), 0u);
}

// bind(4) then unbind() leaves unit 4 active with nothing bound there.
TEST_F(TextureTest, UnbindLeavesItsUnitActiveAndEmpty) {
    Texture texture;
    texture.bind(4);
    EXPECT_EQ(test::glInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE4);
    EXPECT_EQ(test::glInteger(GL_TEXTURE_BINDING_2D), static_cast<GLint>(texture.getId()));
    texture.unbind();
    EXPECT_EQ(test::glInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE4);
    EXPECT_EQ(test::glInteger(GL_TEXTURE_BINDING_2D), 0);
}

// unbind acts on the unit of the last bind, even after another unit became active.
TEST_F(TextureTest, UnbindActsOnTheRememberedUnit) {
    Texture texture;
    texture.bind(3);
    glActiveTextureARB(GL_TEXTURE1);
    texture.unbind();
    EXPECT_EQ(test::glInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE3);
    EXPECT_EQ(test::glInteger(GL_TEXTURE_BINDING_2D), 0);
}

// setTarget(GL_TEXTURE_1D) makes bind use the one-dimensional target.
TEST_F(TextureTest, OneDimensionalTargetBindsAs1D) {
    Texture texture;
    texture.setTarget(GL_TEXTURE_1D);
    texture.bind(2);
    EXPECT_EQ(test::glInteger(GL_TEXTURE_BINDING_1D), static_cast<GLint>(texture.getId()));
    EXPECT_EQ(test::glInteger(GL_TEXTURE_BINDING_2D), 0);
    texture.unbind();
    EXPECT_EQ(test::glInteger(GL_TEXTURE_BINDING_1D), 0);
}

}  // namespace
}  // namespace tw

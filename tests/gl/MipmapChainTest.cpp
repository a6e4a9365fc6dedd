// The desktop's mipmapped upload against the GL's own mipmap generation: the drawn chain must
// hold the texels llvmpipe's generator makes, level by level, or every distant logo, cloud and
// checker in the scene moves; and the upload must leave the GL state it borrows as it found it.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdint>
#include <random>
#include <vector>

#include "gl/GlExtensionTable.h"
#include "gl/TextureUpload.h"
#include "support/GlTestContext.h"
#include "support/PixelProbe.h"

namespace tw {
namespace {

using Levels = std::vector<std::vector<uint8_t>>;

// Every level of the bound 2D texture, as RGBA bytes.
Levels readLevels() {
    Levels levels;
    for (GLint level = 0;; ++level) {
        GLint width = 0;
        GLint height = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &height);
        if (width == 0)
            return levels;
        levels.emplace_back(static_cast<size_t>(width) * height * 4);
        glGetTexImage(GL_TEXTURE_2D, level, GL_RGBA, GL_UNSIGNED_BYTE, levels.back().data());
    }
}

GLint textureParameter(GLenum name) {
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
    return value;
}

// Odd sizes on the way down read texels at uneven weights; a side of 1 stays 1 while the other
// still halves.
TEST(MipmapChain, HoldsTheGlsOwnLevelsAndLeavesTheStateAsFound) {
    test::GlTestContext::ensure();
    std::mt19937 random(7);
    const struct { int width, height; } sizes[] = {{256, 256}, {300, 76}, {37, 5}, {1, 9}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
        std::vector<uint8_t> texels(static_cast<size_t>(size.width) * size.height * 4);
        for (uint8_t& texel : texels)
            texel = static_cast<uint8_t>(random());

        GLuint textures[2];
        glGenTextures(2, textures);
        glBindTexture(GL_TEXTURE_2D, textures[0]);
        glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, size.width, size.height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, texels.data());
        const Levels generated = readLevels();

        // Someone else's framebuffer, viewport and filter, which the upload must keep.
        GLuint framebuffer = 0;
        glGenFramebuffersEXT(1, &framebuffer);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
        glViewport(3, 4, 29, 31);
        glBindTexture(GL_TEXTURE_2D, textures[1]);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        uploadMipmapped2D(size.width, size.height, GL_RGBA, texels.data());

        EXPECT_EQ(readLevels(), generated);
        EXPECT_EQ(test::glInteger(GL_FRAMEBUFFER_BINDING_EXT), static_cast<GLint>(framebuffer));
        GLint viewport[4];
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{3, 4, 29, 31}));
        EXPECT_EQ(test::glInteger(GL_CURRENT_PROGRAM), 0);
        EXPECT_EQ(test::glInteger(GL_TEXTURE_BINDING_2D), static_cast<GLint>(textures[1]));
        EXPECT_EQ(textureParameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(textureParameter(GL_TEXTURE_BASE_LEVEL), 0);
        EXPECT_EQ(textureParameter(GL_TEXTURE_MAX_LEVEL), 1000);

        glBindTexture(GL_TEXTURE_2D, 0);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
        glDeleteFramebuffersEXT(1, &framebuffer);
        glDeleteTextures(2, textures);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
}  // namespace tw

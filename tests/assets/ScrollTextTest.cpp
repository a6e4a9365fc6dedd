// The generated textures' contents as pure functions: the checkerboard and the scroll texels.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "assets/Checkerboard.h"
#include "assets/ScrollMessage.h"
#include "assets/ScrollText.h"

namespace {

int checker(int x, int y) {
    static const std::vector<uint8_t> texels = tw::checkerboardTexels();
    return texels[y * 256 + x];
}

struct Texel {
    float s, t, b;
};

Texel texelOf(const std::string& text, size_t index) {
    const std::vector<float> texels = tw::scrollTextTexels(text.c_str(), text.size() + 1);
    return {texels[3 * index], texels[3 * index + 1], texels[3 * index + 2]};
}

TEST(Checkerboard, CornerBlocksAreWhite) {
    EXPECT_EQ(checker(0, 0), 255);
    EXPECT_EQ(checker(127, 127), 255);
    EXPECT_EQ(checker(129, 129), 255);
    EXPECT_EQ(checker(255, 255), 255);
}

TEST(Checkerboard, MiddleLinesAndOffDiagonalBlocksAreBlack) {
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(checker(128, i), 0) << "column 128, row " << i;
        EXPECT_EQ(checker(i, 128), 0) << "row 128, column " << i;
    }
    EXPECT_EQ(checker(0, 200), 0);
    EXPECT_EQ(checker(200, 0), 0);
}

TEST(Checkerboard, WhiteBlocksAre128And127Wide) {
    int white = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            white += checker(x, y) == 255;
    EXPECT_EQ(white, 128 * 128 + 127 * 127);
}

TEST(ScrollText, HasOneTexelPerCharacterBeforeTheFirstZero) {
    EXPECT_EQ(tw::scrollTextTexels(tw::scrollMessage, tw::kScrollMessageBytes).size(), 639u * 3);
    const char shortText[8] = {'A', 'B', 0, 'C', 0, 0, 0, 0};
    EXPECT_EQ(tw::scrollTextTexels(shortText, sizeof shortText).size(), 6u);
}

TEST(ScrollText, StopsAtTheGivenSizeWithoutAZero) {
    const char unterminated[3] = {'A', 'B', 'C'};
    EXPECT_EQ(tw::scrollTextTexels(unterminated, 3).size(), 9u);
}

TEST(ScrollText, MessageStartsWith81BlankTexels) {
    const std::vector<float> texels =
        tw::scrollTextTexels(tw::scrollMessage, tw::kScrollMessageBytes);
    for (int i = 0; i < 81; ++i) {
        EXPECT_EQ(texels[3 * i], 0.0f) << i;
        EXPECT_EQ(texels[3 * i + 1], 1.0f) << i;
        EXPECT_EQ(texels[3 * i + 2], 0.0f) << i;
    }
    EXPECT_NE(texels[3 * 81] + (1.0f - texels[3 * 81 + 1]), 0.0f) << "text begins at 81";
}

TEST(ScrollText, TexelsAreCellCorners) {
    const Texel a = texelOf("A", 0), z = texelOf("Z", 0), zero = texelOf("0", 0);
    EXPECT_FLOAT_EQ(a.s, 0.0625f);
    EXPECT_FLOAT_EQ(a.t, 0.6666666f);
    EXPECT_FLOAT_EQ(z.s, 0.625f);
    EXPECT_FLOAT_EQ(z.t, 0.5f);
    EXPECT_FLOAT_EQ(zero.s, 0.0f);
    EXPECT_FLOAT_EQ(zero.t, 0.8333333f);
    EXPECT_EQ(a.b, 0.0f);
    const Texel close = texelOf(")", 0);  // code 41: column 9 of grid row 0
    EXPECT_FLOAT_EQ(close.s, 0.5625f);
    EXPECT_FLOAT_EQ(close.t, 1.0f);
}

TEST(ScrollText, LowerCaseGivesTheCapitalsTexel) {
    for (char c = 'a'; c <= 'z'; ++c) {
        const Texel lower = texelOf(std::string(1, c), 0);
        const Texel upper = texelOf(std::string(1, char(c - 32)), 0);
        EXPECT_EQ(lower.s, upper.s) << c;
        EXPECT_EQ(lower.t, upper.t) << c;
    }
}

TEST(ScrollText, LeavesTheMessageUntouched) {
    const char text[] = "abc";
    tw::scrollTextTexels(text, sizeof text);
    EXPECT_STREQ(text, "abc");
}

TEST(ScrollText, ControlCodesDivideWithTruncation) {
    // Code 10: (10 - 32) % 16 = -6 and (10 - 32) / 16 = -1 under truncation toward zero.
    const Texel newline = texelOf("\n", 0);
    EXPECT_FLOAT_EQ(newline.s, -0.375f);
    EXPECT_FLOAT_EQ(newline.t, 1.0f + 0.16666667f);
}

TEST(ScrollMessage, IsOneLineOfScrollableCharactersInAZeroFilledArray) {
    EXPECT_EQ(sizeof tw::scrollMessage, 641u);
    EXPECT_EQ(std::strlen(tw::scrollMessage), 639u);
    EXPECT_EQ(tw::scrollMessage[640], 0);
    for (int i = 0; i < 639; ++i) {
        const char c = tw::scrollMessage[i];
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || std::strchr(" (),-.", c))
            << "character " << i;
    }
    EXPECT_EQ(std::string(tw::scrollMessage, 81), std::string(81, ' '));
    EXPECT_NE(tw::scrollMessage[81], ' ');
}

}  // namespace

// The embedded font: an upright glyph for every character of the message. How the pictures look
// is left to the scene's reference pictures.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "assets/ImageRecord.h"
#include "assets/ScrollMessage.h"

namespace tw::test {
namespace {

// Ink pixels in rows [from, to) of the font cell of `code`, counted down from the cell's top.
int inkCount(int code, int from = 0, int to = 10) {
    int count = 0;
    for (int y = from; y < to; ++y)
        for (int x = 0; x < 9; ++x)
            count += fontRecord().pixels()[(59 - (code - 32) / 16 * 10 - y) * 144 +
                                           (code - 32) % 16 * 9 + x] != 0;
    return count;
}

// Every character of the message has a glyph once upper-cased, the blank stays blank, and glyphs
// stand upright: the bar of 'T' is on its top row of ink, its stem alone on the bottom.
TEST(EmbeddedAsset, FontHasEveryMessageGlyphUpright) {
    for (int i = 0; i < kScrollMessageLength; ++i) {
        const int code = std::toupper(static_cast<unsigned char>(scrollMessage[i]));
        EXPECT_TRUE(code == ' ' ? inkCount(code) == 0 : inkCount(code) >= 4)
            << "character " << i << " ('" << char(code) << "'): " << inkCount(code);
    }
    EXPECT_GE(inkCount('T', 1, 2), 6);
    EXPECT_EQ(inkCount('T', 7, 8), 2);
}

}  // namespace
}  // namespace tw::test

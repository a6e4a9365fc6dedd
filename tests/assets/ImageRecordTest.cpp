// The embedded records: header fields, sizes, alignment and bottom-up row order.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>

#include "assets/ImageRecord.h"

namespace {

using tw::ImageRecord;

struct Expected {
    const char* name;
    ImageRecord record;
    uint32_t width, height, format;
    int components;
};

const Expected kRecords[] = {
    {"logo", tw::logoRecord(), 1920, 608, GL_RGBA, 4},
    {"font", tw::fontRecord(), 144, 60, GL_LUMINANCE, 1},
    {"fbm", tw::fbmRecord(), 256, 256, GL_LUMINANCE, 1},
};

// Ink of the font atlas at (x, y), y counted down from the top of the picture.
bool fontInkFromTop(int x, int y) {
    const ImageRecord font = tw::fontRecord();
    return font.pixels()[(font.height() - 1 - y) * font.width() + x] != 0;
}

TEST(ImageRecord, HeadersHoldSizeFormatAndZeroReserved) {
    for (const Expected& e : kRecords) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(e.record.width(), e.width);
        EXPECT_EQ(e.record.height(), e.height);
        EXPECT_EQ(e.record.format(), e.format);
        EXPECT_EQ(e.record.reserved(), 0u);
        EXPECT_EQ(e.record.components(), e.components);
    }
}

TEST(ImageRecord, EmbeddedSizeIsHeaderPlusUnpaddedPixels) {
    for (const Expected& e : kRecords) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(e.record.byteCount(), 16u + size_t(e.width) * e.height * e.components);
    }
}

TEST(ImageRecord, HeaderWordsAreLittleEndian) {
    const uint8_t* bytes = tw::logoRecord().bytes();
    // 1920 = 0x780, 608 = 0x260, GL_RGBA = 0x1908.
    const uint8_t expected[12] = {0x80, 0x07, 0, 0, 0x60, 0x02, 0, 0, 0x08, 0x19, 0, 0};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(bytes[i], expected[i]) << "byte " << i;
}

TEST(ImageRecord, RecordsAndRowsAreFourByteAligned) {
    for (const Expected& e : kRecords) {
        SCOPED_TRACE(e.name);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(e.record.bytes()) % 4, 0u);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(e.record.pixels()) % 4, 0u);
        EXPECT_EQ(e.width * e.components % 4, 0u) << "rows need the default unpack alignment";
    }
}

TEST(ImageRecord, FontStoresGridRowFiveFirst) {
    const ImageRecord font = tw::fontRecord();
    auto storedCellHasInk = [&](int storedRowBase, int column) {
        for (int y = storedRowBase; y < storedRowBase + 10; ++y)
            for (int x = column * 9; x < column * 9 + 9; ++x)
                if (font.pixels()[y * 144 + x] != 0)
                    return true;
        return false;
    };
    // First ten stored rows: p, q, ... z, then the five empty cells of codes 123 to 127.
    for (int column = 0; column < 11; ++column)
        EXPECT_TRUE(storedCellHasInk(0, column)) << "code " << 112 + column;
    for (int column = 11; column < 16; ++column)
        EXPECT_FALSE(storedCellHasInk(0, column)) << "code " << 112 + column;
    // Last ten stored rows: blank, then '!'.
    EXPECT_FALSE(storedCellHasInk(50, 0));
    EXPECT_TRUE(storedCellHasInk(50, 1));
}

TEST(ImageRecord, FontGlyphsStandUprightWhenReadBottomUp) {
    // 'T' (grid row 3, column 4): its bar is its first row, its stem alone reaches the last.
    const int left = 4 * 9, top = 3 * 10;
    auto inkInRow = [&](int cellRow) {
        int count = 0;
        for (int x = left; x < left + 9; ++x)
            count += fontInkFromTop(x, top + cellRow);
        return count;
    };
    EXPECT_GE(inkInRow(1), 6);
    EXPECT_EQ(inkInRow(7), 2);
}

TEST(ImageRecord, LogoStandsUprightWhenReadBottomUp) {
    // The blue faces brighten towards the top of the lettering: read with the last stored row at
    // the top, the upper band of faces is brighter than the lower one.
    const ImageRecord logo = tw::logoRecord();
    auto meanFaceBlue = [&](int topRowFrom, int topRowTo) {
        double sum = 0.0;
        int count = 0;
        for (int y = topRowFrom; y < topRowTo; ++y)
            for (uint32_t x = 0; x < logo.width(); ++x) {
                const uint8_t* p = logo.pixels() + ((607 - y) * logo.width() + x) * 4;
                if (p[3] == 255 && p[2] > p[0] && p[2] > p[1]) {
                    sum += p[2];
                    ++count;
                }
            }
        return count > 0 ? sum / count : 0.0;
    };
    EXPECT_GT(meanFaceBlue(120, 220), meanFaceBlue(400, 500) + 20.0);
}

}  // namespace

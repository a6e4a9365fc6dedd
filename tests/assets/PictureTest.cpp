// Measured properties of the three embedded pictures, against what the scene is tuned to.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <vector>

#include "assets/ImageRecord.h"
#include "assets/ScrollMessage.h"

namespace {

using tw::ImageRecord;

// ---- logo ----

struct LogoCounts {
    long transparent = 0, opaque = 0, partial = 0, colouredTransparent = 0;
    long grey = 0, blue = 0, visible = 0;
    int top = 9999, bottom = -1, left = 9999, right = -1;  // rows counted from the top
    int darkestGrey = 255, brightestGrey = 0;
    std::vector<int> luma;
};

LogoCounts countLogo() {
    const ImageRecord logo = tw::logoRecord();
    LogoCounts c;
    const int w = logo.width(), h = logo.height();
    for (int stored = 0; stored < h; ++stored)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = logo.pixels() + (size_t(stored) * w + x) * 4;
            const int row = h - 1 - stored;
            if (p[3] == 0) {
                ++c.transparent;
                c.colouredTransparent += (p[0] | p[1] | p[2]) != 0;
                continue;
            }
            (p[3] == 255 ? c.opaque : c.partial) += 1;
            c.top = std::min(c.top, row);
            c.bottom = std::max(c.bottom, row);
            c.left = std::min(c.left, x);
            c.right = std::max(c.right, x);
            ++c.visible;
            if (p[0] == p[1] && p[1] == p[2]) {
                ++c.grey;
                c.darkestGrey = std::min<int>(c.darkestGrey, p[0]);
                c.brightestGrey = std::max<int>(c.brightestGrey, p[0]);
            } else if (p[2] > p[0] && p[2] > p[1]) {
                ++c.blue;
            }
            c.luma.push_back(std::lround(0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]));
        }
    return c;
}

const LogoCounts& logoCounts() {
    static const LogoCounts counts = countLogo();
    return counts;
}

TEST(LogoPicture, InkStaysInsideTheLogoWindow) {
    const LogoCounts& c = logoCounts();
    EXPECT_GE(c.top, 80);
    EXPECT_LE(c.bottom, 526);
    EXPECT_GE(c.left, 123);
    EXPECT_LE(c.right, 1795);
    // And it fills the window: within a few pixels of each side.
    EXPECT_LE(c.top, 86);
    EXPECT_GE(c.bottom, 520);
    EXPECT_LE(c.left, 130);
    EXPECT_GE(c.right, 1788);
}

TEST(LogoPicture, AlphaIsASolidSilhouetteWithThinOutline) {
    const LogoCounts& c = logoCounts();
    const double total = 1920.0 * 608.0;
    // The scene's dissolve and blend were tuned on about 41 % opaque lettering; a few points
    // either way keep the logo's weight on screen.
    EXPECT_NEAR(c.opaque / total, 0.409, 0.03);
    // Intermediate alpha only along the anti-aliased outline: one pixel deep, under 1 %.
    EXPECT_GT(c.partial, 0);
    EXPECT_LT(c.partial / total, 0.01);
}

TEST(LogoPicture, TransparentPixelsCarryNoColour) {
    EXPECT_EQ(logoCounts().colouredTransparent, 0);
}

TEST(LogoPicture, VisiblePixelsAreGreyRimsAndBlueFaces) {
    const LogoCounts& c = logoCounts();
    // About half metal, half blue; the outline's blend of the two also counts as blue.
    EXPECT_NEAR(double(c.grey) / c.visible, 0.5, 0.1);
    EXPECT_NEAR(double(c.blue) / c.visible, 0.5, 0.1);
    EXPECT_GE(double(c.grey + c.blue) / c.visible, 0.99);
    // The metal is shaded from dark to bright.
    EXPECT_LE(c.darkestGrey, 48);
    EXPECT_GE(c.brightestGrey, 240);
}

TEST(LogoPicture, MedianLumaSuitsTheSkyTint) {
    std::vector<int> luma = logoCounts().luma;
    std::nth_element(luma.begin(), luma.begin() + luma.size() / 2, luma.end());
    // The scene multiplies the logo by a sky tint of length 1.5 after a 2.2 gamma; a median far
    // from 97 would wash it out or sink it. 10 levels is well below a visible shift.
    EXPECT_NEAR(luma[luma.size() / 2], 97, 10);
}

// ---- font ----

constexpr int kCellW = 9, kCellH = 10;

// Ink at pixel (x, y) of the cell of `code`, y counted down from the cell's top.
bool ink(int code, int x, int y) {
    const ImageRecord font = tw::fontRecord();
    const int column = (code - 32) % 16, row = (code - 32) / 16;
    const int pictureY = row * kCellH + y;
    return font.pixels()[(59 - pictureY) * 144 + column * kCellW + x] != 0;
}

int inkCount(int code) {
    int count = 0;
    for (int y = 0; y < kCellH; ++y)
        for (int x = 0; x < kCellW; ++x)
            count += ink(code, x, y);
    return count;
}

bool isCapitalOrDigit(int code) {
    return std::isupper(code) || std::isdigit(code);
}

TEST(FontPicture, HasOnlyTwoLevels) {
    const ImageRecord font = tw::fontRecord();
    for (int i = 0; i < 144 * 60; ++i)
        ASSERT_TRUE(font.pixels()[i] == 0 || font.pixels()[i] == 255) << "pixel " << i;
}

TEST(FontPicture, CellBordersStayBlank) {
    for (int code = 32; code < 128; ++code) {
        for (int y = 0; y < kCellH; ++y)
            EXPECT_FALSE(ink(code, 0, y)) << "code " << code << " left column, row " << y;
        for (int x = 0; x < kCellW; ++x) {
            EXPECT_FALSE(ink(code, x, 0)) << "code " << code << " top row";
            EXPECT_FALSE(ink(code, x, 9)) << "code " << code << " bottom row";
        }
    }
}

TEST(FontPicture, BlankAndCodesAboveZAreEmpty) {
    EXPECT_EQ(inkCount(32), 0);
    for (int code = 123; code < 128; ++code)
        EXPECT_EQ(inkCount(code), 0) << "code " << code;
}

TEST(FontPicture, EveryPrintableCodeUpToZHasAGlyph) {
    for (int code = 33; code <= 122; ++code)
        EXPECT_GE(inkCount(code), 4) << "code " << code;
}

TEST(FontPicture, EveryMessageCharacterShowsWhenUpperCased) {
    for (int i = 0; i < tw::kScrollMessageLength; ++i) {
        const int code = std::toupper(static_cast<unsigned char>(tw::scrollMessage[i]));
        if (code != ' ') {
            EXPECT_GE(inkCount(code), 4) << "character " << i << " '" << char(code) << "'";
        }
    }
}

TEST(FontPicture, CapitalsAndDigitsFillRowsAndColumnsOneToSeven) {
    for (int code = 33; code <= 122; ++code) {
        if (!isCapitalOrDigit(code))
            continue;
        int top = 9, bottom = 0, right = 0;
        for (int y = 0; y < kCellH; ++y)
            for (int x = 0; x < kCellW; ++x)
                if (ink(code, x, y)) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                    right = std::max(right, x);
                }
        EXPECT_EQ(top, 1) << char(code);
        EXPECT_EQ(bottom, 7) << char(code);
        EXPECT_LE(right, 7) << char(code);
    }
}

TEST(FontPicture, LowerCaseStartsHighAndDescendersReachRowEight) {
    for (int code = 'a'; code <= 'z'; ++code) {
        int top = 9, bottom = 0;
        for (int y = 0; y < kCellH; ++y)
            for (int x = 0; x < kCellW; ++x)
                if (ink(code, x, y)) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        EXPECT_TRUE(top == 1 || top == 2) << char(code) << " starts at row " << top;
        const bool descends = std::strchr("gjpqy", code) != nullptr;
        EXPECT_EQ(bottom, descends ? 8 : 7) << char(code);
    }
}

TEST(FontPicture, VerticalStrokesAreTwoPixelsWide) {
    // Every horizontal run of ink in capitals and digits is at least two pixels, except the
    // centre strokes of M, W and Q, which have no room for two.
    for (int code = 33; code <= 122; ++code) {
        if (!isCapitalOrDigit(code) || std::strchr("MWQ", code) != nullptr)
            continue;
        for (int y = 1; y < 9; ++y)
            for (int x = 1; x < kCellW; ++x)
                if (ink(code, x, y) && !ink(code, x - 1, y) &&
                    (x + 1 >= kCellW || !ink(code, x + 1, y)))
                    ADD_FAILURE() << char(code) << ": one-pixel run at column " << x << ", row "
                                  << y;
    }
}

TEST(FontPicture, HorizontalStrokesAreOnePixelHigh) {
    // A bar (four or more pixels of ink side by side) never has another bar over the same four
    // columns directly above it.
    for (int code = 33; code <= 122; ++code) {
        if (!isCapitalOrDigit(code) && !std::islower(code))
            continue;
        for (int y = 2; y < 9; ++y)
            for (int x = 1; x + 3 < kCellW; ++x) {
                bool doubled = true;
                for (int i = 0; i < 4; ++i)
                    doubled = doubled && ink(code, x + i, y) && ink(code, x + i, y - 1);
                EXPECT_FALSE(doubled) << char(code) << ": two-pixel bar at column " << x
                                      << ", rows " << y - 1 << "-" << y;
            }
    }
}

// ---- fbm ----

struct NoiseStats {
    int minimum = 255, maximum = 0;
    double mean = 0.0, deviation = 0.0;
};

int noise(int x, int y) {
    return tw::fbmRecord().pixels()[((y & 255) << 8) | (x & 255)];
}

NoiseStats noiseStats() {
    NoiseStats s;
    double sum = 0.0, squares = 0.0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const int v = noise(x, y);
            s.minimum = std::min(s.minimum, v);
            s.maximum = std::max(s.maximum, v);
            sum += v;
            squares += double(v) * v;
        }
    s.mean = sum / 65536.0;
    s.deviation = std::sqrt(squares / 65536.0 - s.mean * s.mean);
    return s;
}

// Correlation between texels `lag` apart, horizontally and vertically together, across the wrap.
double correlation(int lag) {
    const NoiseStats s = noiseStats();
    double sum = 0.0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const double a = noise(x, y) - s.mean;
            sum += a * (noise(x + lag, y) - s.mean) + a * (noise(x, y + lag) - s.mean);
        }
    return sum / (2.0 * 65536.0 * s.deviation * s.deviation);
}

TEST(FbmPicture, RangeMeanAndDeviationMatchTheCloudTuning) {
    const NoiseStats s = noiseStats();
    // The sky raises the noise to high powers and the logo dissolve scales it by 8, so a
    // shifted mean or range shows directly; these bounds are a few levels around the tuning.
    EXPECT_NEAR(s.minimum, 61, 6);
    EXPECT_NEAR(s.maximum, 197, 6);
    EXPECT_NEAR(s.mean, 129.7, 1.0);
    EXPECT_NEAR(s.deviation, 22.8, 1.0);
}

TEST(FbmPicture, QuadrantsShareOneMean) {
    for (int q = 0; q < 4; ++q) {
        double sum = 0.0;
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x)
                sum += noise(x + (q % 2) * 128, y + (q / 2) * 128);
        EXPECT_NEAR(sum / 16384.0, 129.7, 1.0) << "quadrant " << q;
    }
}

TEST(FbmPicture, FeaturesAreAbout32TexelsAcross) {
    // Smooth at texel scale, decorrelated from 32 texels on; 0.05 to 0.1 of slack is what one
    // seed of noise differs from another of the same spectrum.
    EXPECT_NEAR(correlation(1), 0.989, 0.01);
    EXPECT_NEAR(correlation(8), 0.71, 0.06);
    EXPECT_NEAR(correlation(16), 0.35, 0.1);
    for (int lag : {32, 48, 64, 96})
        EXPECT_NEAR(correlation(lag), 0.0, 0.1) << "lag " << lag;
}

TEST(FbmPicture, TilesWithoutSeam) {
    // The step across the wrap (last column to first, last row to first) is no larger than the
    // steps inside the picture.
    double inner = 0.0, acrossX = 0.0, acrossY = 0.0;
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 255; ++b)
            inner +=
                std::abs(noise(b + 1, a) - noise(b, a)) + std::abs(noise(a, b + 1) - noise(a, b));
        acrossX += std::abs(noise(0, a) - noise(255, a));
        acrossY += std::abs(noise(a, 0) - noise(a, 255));
    }
    inner /= 2.0 * 256 * 255;
    EXPECT_NEAR(inner, 2.6, 0.5);
    EXPECT_LE(acrossX / 256, inner * 1.2);
    EXPECT_LE(acrossY / 256, inner * 1.2);
}

}  // namespace

// The embedded pictures, module and scroll texels: what the generators make, the records' layout,
// and measured properties of each picture that the scene is tuned to.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "assets/ImageRecord.h"
#include "assets/ScrollMessage.h"
#include "assets/ScrollText.h"
#include "audio/MusicModule.h"
#include "support/Process.h"

namespace tw::test {
namespace {

const std::string kTools = std::string(TW_SOURCE_DIR) + "/tools/";

// Each generator run again on the committed sources makes exactly what is embedded: a generator
// that depends on anything but its sources (memory, time, the machine) differs here.
TEST(EmbeddedAsset, GeneratorsRemakeTheEmbeddedBytes) {
    const MusicModule module = musicModule();
    const std::string dir = makeTestDir("embedded-asset-remake"), out = dir + "/out";
    auto bytes = [](const uint8_t* data, size_t size) {
        return std::string(reinterpret_cast<const char*>(data), size);
    };
    const struct {
        std::vector<std::string> argv;  // the output file follows
        std::string embedded;
    } cases[] = {
        {{TW_MAKE_LOGO, kTools + "pictures/logo_shapes.txt"},
         bytes(logoRecord().bytes(), logoRecord().byteCount())},
        {{TW_MAKE_FONT, kTools + "pictures/font_glyphs.txt"},
         bytes(fontRecord().bytes(), fontRecord().byteCount())},
        {{TW_MAKE_FBM}, bytes(fbmRecord().bytes(), fbmRecord().byteCount())},
        {{TW_MUSIC_TOOL, kTools + "music/song/instruments.txt", kTools + "music/song/song.txt"},
         bytes(module.data, module.size)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.argv[0]);
        std::vector<std::string> argv = c.argv;
        argv.push_back(out);
        const ProcessResult r = runProcess(argv, {}, 120);
        ASSERT_TRUE(r.exited && r.exitStatus == 0) << r.err;
        const std::string made = readFile(out);
        EXPECT_EQ(made.size(), c.embedded.size());
        EXPECT_TRUE(made == c.embedded) << "the embedded bytes differ from a fresh run";
    }
}

// Each record's header matches its pixels: the texture upload trusts it, so a wrong size reads
// past the end, and rows off the default unpack alignment of 4 would shear the picture.
TEST(EmbeddedAsset, RecordsAreWellFormed) {
    const struct {
        ImageRecord record;
        uint32_t width, height, format;
    } cases[] = {{logoRecord(), 1920, 608, GL_RGBA},
                 {fontRecord(), 144, 60, GL_LUMINANCE},
                 {fbmRecord(), 256, 256, GL_LUMINANCE}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.width);
        const ImageRecord& r = c.record;
        EXPECT_EQ(r.width(), c.width);
        EXPECT_EQ(r.height(), c.height);
        EXPECT_EQ(r.format(), c.format);
        EXPECT_EQ(r.reserved(), 0u);
        EXPECT_EQ(r.byteCount(), 16u + size_t(r.width()) * r.height() * r.components());
        EXPECT_EQ(reinterpret_cast<uintptr_t>(r.pixels()) % 4, 0u);
        EXPECT_EQ(r.width() * r.components() % 4, 0u);
    }
}

// The logo covers about 41 % opaque (what the dissolve and blend were tuned on) and stands
// upright: its blue faces brighten towards the top, the last stored row.
TEST(EmbeddedAsset, LogoCoverageAndOrientation) {
    const ImageRecord logo = logoRecord();
    long opaque = 0;
    double faceBlue[2] = {0, 0}, faces[2] = {0, 0};  // upper band, lower band
    for (uint32_t row = 0; row < logo.height(); ++row) {
        for (uint32_t x = 0; x < logo.width(); ++x) {
            const uint8_t* p = logo.pixels() + (size_t(logo.height() - 1 - row) * 1920 + x) * 4;
            opaque += p[3] == 255;
            const int band = row >= 120 && row < 220 ? 0 : row >= 400 && row < 500 ? 1 : -1;
            if (band >= 0 && p[3] == 255 && p[2] > p[0] && p[2] > p[1]) {
                faceBlue[band] += p[2];
                faces[band] += 1;
            }
        }
    }
    EXPECT_NEAR(opaque / (1920.0 * 608.0), 0.409, 0.03);
    EXPECT_GT(faceBlue[0] / faces[0], faceBlue[1] / faces[1] + 20.0);
}

// Ink at (x, y) of the font cell of `code`, y counted down from the cell's top.
bool ink(int code, int x, int y) {
    const int pictureY = (code - 32) / 16 * 10 + y;
    return fontRecord().pixels()[(59 - pictureY) * 144 + (code - 32) % 16 * 9 + x] != 0;
}

// Every character of the message has a glyph once upper-cased, blank cells stay blank, and
// glyphs stand upright: the bar of 'T' is on its top row of ink, its stem alone on the bottom.
TEST(EmbeddedAsset, FontHasEveryMessageGlyphUpright) {
    auto inkCount = [](int code, int rowFrom, int rowTo) {
        int count = 0;
        for (int y = rowFrom; y < rowTo; ++y)
            for (int x = 0; x < 9; ++x)
                count += ink(code, x, y);
        return count;
    };
    for (int i = 0; i < kScrollMessageLength; ++i) {
        const int code = std::toupper(static_cast<unsigned char>(scrollMessage[i]));
        EXPECT_GE(inkCount(code, 0, 10), code == ' ' ? 0 : 4) << "character " << i;
    }
    for (int code : {32, 123, 127})
        EXPECT_EQ(inkCount(code, 0, 10), 0) << "code " << code;
    EXPECT_GE(inkCount('T', 1, 2), 6);
    EXPECT_EQ(inkCount('T', 7, 8), 2);
}

// The cloud noise keeps the level and spread the sky was tuned on, and tiles without a seam:
// the step across the wrap is no larger than the steps inside.
TEST(EmbeddedAsset, NoiseLevelSpreadAndTiling) {
    auto noise = [](int x, int y) {
        return int(fbmRecord().pixels()[(y & 255) * 256 + (x & 255)]);
    };
    double sum = 0, squares = 0, inner = 0, across = 0;
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            sum += noise(a, b);
            squares += noise(a, b) * noise(a, b);
            inner += b < 255 ? std::abs(noise(b + 1, a) - noise(b, a)) : 0;
        }
        across += std::abs(noise(0, a) - noise(255, a)) + std::abs(noise(a, 0) - noise(a, 255));
    }
    const double mean = sum / 65536.0;
    EXPECT_NEAR(mean, 129.7, 1.0);
    EXPECT_NEAR(std::sqrt(squares / 65536.0 - mean * mean), 22.8, 1.0);
    EXPECT_LE(across / 512.0, inner / (256 * 255) * 1.2);
}

// Scroll texels: the corner of each character's font cell, lower case folded onto capitals,
// control codes by truncating division, and the message's 81 leading blanks.
TEST(EmbeddedAsset, ScrollTexelsAreCellCorners) {
    const struct {
        const char* text;
        float s, t;
    } cases[] = {{"A", 0.0625f, 0.6666667f}, {"a", 0.0625f, 0.6666667f}, {"Z", 0.625f, 0.5f},
                 {"0", 0.0f, 0.8333333f},    {")", 0.5625f, 1.0f},       {" ", 0.0f, 1.0f},
                 {"\n", -0.375f, 1.1666667f}};
    for (const auto& c : cases) {
        const std::vector<float> texel = scrollTextTexels(c.text, 2);
        ASSERT_EQ(texel.size(), 3u) << c.text;
        EXPECT_FLOAT_EQ(texel[0], c.s) << c.text;
        EXPECT_FLOAT_EQ(texel[1], c.t) << c.text;
        EXPECT_EQ(texel[2], 0.0f) << c.text;
    }
    // One texel per character before the first zero, or up to the size given without one.
    const std::vector<float> message = scrollTextTexels(scrollMessage, kScrollMessageBytes);
    EXPECT_EQ(message.size(), 639u * 3);
    EXPECT_EQ(scrollTextTexels("ABC", 3).size(), 9u);
    EXPECT_EQ(std::count(message.begin(), message.begin() + 3 * 81, 0.0f), 2 * 81);
    EXPECT_NE(scrollMessage[81], ' ');
}

}  // namespace
}  // namespace tw::test

// The embedded pictures and module: what the generators make, and a glyph for every character of
// the message. How the pictures look once uploaded and the scroll texels are left to the scene's
// reference pictures, which show the logo, the noise, the floor and the letters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <vector>

#include "assets/ImageRecord.h"
#include "assets/ScrollMessage.h"
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

}  // namespace
}  // namespace tw::test

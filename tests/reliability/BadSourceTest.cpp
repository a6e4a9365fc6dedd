// The build-time generators refuse malformed sources: one line "FILE:LINE: reason" on standard
// error, status 1, no output file, never a crash or a picture or module made from half a source.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/Process.h"

namespace tw::test {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

struct BadSource {
    const char* what;
    std::string text;  // the malformed source
    int line;          // the line the error must name
    const char* reason;
};

// Runs `tool` on each source (in place of the file at position `sourceArg` of `args`, the output
// file last) and checks the refusal.
void expectRefusals(const std::string& tool, const std::vector<std::string>& args, size_t sourceArg,
                    const std::vector<BadSource>& sources) {
    for (const BadSource& bad : sources) {
        // Named after the tool: ctest may run the tests of this file side by side.
        const std::string dir =
            makeTestDir("bad-source-" + tool.substr(tool.find_last_of('/') + 1));
        const std::string source = dir + "/source.txt";
        const std::string out = dir + "/out.bin";
        std::ofstream(source, std::ios::binary) << bad.text;
        std::vector<std::string> argv = {tool};
        argv.insert(argv.end(), args.begin(), args.end());
        argv[sourceArg + 1] = source;
        argv.push_back(out);
        const ProcessResult r = runProcess(argv, {}, 60);
        const std::string where = source + ":" + std::to_string(bad.line) + ": ";
        EXPECT_TRUE(r.exited) << bad.what;
        EXPECT_EQ(r.exitStatus, 1) << bad.what << ": " << r.err;
        EXPECT_NE(r.err.find(where), std::string::npos) << bad.what << ": " << r.err;
        EXPECT_NE(r.err.find(bad.reason), std::string::npos) << bad.what << ": " << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << bad.what << ": not one line: " << r.err;
        EXPECT_FALSE(exists(out)) << bad.what;
        EXPECT_FALSE(exists(out + ".tmp") || exists(out + ".partial")) << bad.what;
    }
}

const std::string kPictures = std::string(TW_SOURCE_DIR) + "/tools/pictures/";
const std::string kSong = std::string(TW_SOURCE_DIR) + "/tools/music/song/";

// The logo's shapes: missing, malformed, out-of-range and trailing values, shapes outside a
// letter, bounds that enclose nothing or do not fit the letters.
TEST(BadSource, LogoShapesAreRefusedWithFileAndLine) {
    const std::string good = "bounds 123 80 1795 526\nmargin 2\nletter T 40\nbox 0 86 40 100 3\n";
    expectRefusals(
        TW_MAKE_LOGO, {"shapes"}, 0,
        {
            {"an empty file", "", 0, "needs bounds"},
            {"a box before any letter", "bounds 1 1 100 100\nbox 0 0 10 10\n", 2,
             "shape before the first letter"},
            {"bounds with three numbers", "bounds 1 1 100\n", 1, "malformed bounds"},
            {"bounds enclosing nothing", "bounds 500 80 100 526\n", 1, "malformed bounds"},
            {"bounds past the picture", "bounds 1 1 3000 100\nletter T 40\n", 1,
             "outside the picture"},
            {"a word for a number", good + "slant steep\n", 5, "malformed slant"},
            {"a number run into a word", good + "box 0 0 10 10x\n", 5, "malformed box"},
            {"a radius that is not a number", good + "box 0 0 10 10 round\n", 5, "malformed box"},
            {"a radius too large for its box", good + "box 0 0 10 10 6\n", 5,
             "corner radius larger"},
            {"a box with its corners swapped", good + "cut 10 0 0 10\n", 5, "malformed cut"},
            {"a trailing value", good + "bevel 16 17\n", 5, "unexpected text"},
            {"a negative margin", "margin -3\n", 1, "malformed margin"},
            {"a letter of no width", good + "letter I 0\n", 5, "malformed letter"},
            {"an unknown keyword", good + "serif 3\n", 5, "unknown keyword serif"},
            {"letters too wide for the bounds",
             "bounds 0 0 200 100\nletter T 4000\nbox 0 0 4000 100\nletter I 40\n"
             "box 0 0 40 100\n",
             1, "too wide"},
        });
}

// The font's glyph art: codes out of range or repeated, a code that is not the character shown,
// rows of the wrong size or with other characters, glyphs cut short, glyphs missing.
TEST(BadSource, FontGlyphsAreRefusedWithFileAndLine) {
    const std::string fullGlyphs = readFile(kPictures + "font_glyphs.txt");
    ASSERT_FALSE(fullGlyphs.empty());
    const std::string glyph =
        "= 33 !\n..##....\n..##....\n..##....\n..##....\n..##....\n"
        "........\n..##....\n........\n";
    expectRefusals(
        TW_MAKE_FONT, {"glyphs"}, 0,
        {
            {"a code below 33", "= 32  \n", 1, "outside 33..122"},
            {"a code that is not a number", "= x x\n", 1, "outside 33..122"},
            {"a code that is not the character shown", "= 66 A\n", 1, "expected \"= 66 B\""},
            {"a glyph defined twice", glyph + glyph, 10, "defined twice"},
            {"a row of 7 pixels", "= 33 !\n..##...\n", 2, "8 of '.' and '#'"},
            {"a row with another character", "= 33 !\n..##..x.\n", 2, "8 of '.' and '#'"},
            {"a row before any glyph", "..##....\n", 1, "outside a glyph"},
            {"a glyph of 3 rows", "= 33 !\n........\n........\n........\n= 34 \"\n", 5,
             "fewer than 8 rows"},
            {"a capital in column 8", "= 65 A\n.......#\n", 2, "7x7"},
            {"every glyph but one", glyph, 9, "every code from 33 to 122"},
            {"Windows line ends", "= 33 !\r\n..##....\r\n", 2, "8 of '.' and '#'"},
        });
}

// The song: the errors the module generator's own tests leave out, with the line they name.
TEST(BadSource, SongIsRefusedWithFileAndLine) {
    const std::string song = readFile(kSong + "song.txt");
    ASSERT_FALSE(song.empty());
    const int songLines = static_cast<int>(std::count(song.begin(), song.end(), '\n'));
    expectRefusals(
        TW_MUSIC_TOOL, {kSong + "instruments.txt", "song"}, 1,
        {
            {"an empty song", "", 0, "order list"},
            {"a track without its end", song + "track Unended\nC-4 . . .\n", songLines + 2,
             "no 'end'"},
            {"a pattern naming no track", "channels 1\npattern 00 nothing\n", 2, "no track named"},
            {"a cell with five fields", song + "track Crowded\nC-4:01:40:A0F:1\nend\n",
             songLines + 2, "not NOTE:II:VV:EFF"},
            {"a hex number for a channel count", "channels 0x4\n", 1, "whole number"},
            {"binary junk",
             std::string("\x7f"
                         "ELF\x02\x01\x01\0\0\0",
                         10),
             1, "unknown song setting"},
        });
}

}  // namespace
}  // namespace tw::test

// The build-time generators refuse malformed sources: one line "FILE:LINE: reason" on standard
// error, status 1, no output file, never a crash or a picture or module made from half a source.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/Process.h"

namespace tw::test {
namespace {

const std::string kSong = std::string(TW_SOURCE_DIR) + "/tools/music/song/";

int lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

// Each kind of malformed source, for the logo, font and module generators: a parser that accepts
// it, crashes, names the wrong line or leaves a file behind fails its row.
TEST(BadSource, EachGeneratorRefusesWithFileAndLine) {
    enum Source { kShapes, kGlyphs, kInstruments, kSongText };
    const std::string song = readFile(kSong + "song.txt");
    const std::string instruments = readFile(kSong + "instruments.txt");
    ASSERT_FALSE(song.empty() || instruments.empty());
    const int n = lines(song);
    const std::string logo = "bounds 123 80 1795 526\nmargin 2\nletter T 40\nbox 0 86 40 100 3\n";
    const std::string glyph =
        "= 33 !\n..##....\n..##....\n..##....\n..##....\n..##....\n........\n..##....\n"
        "........\n";
    const struct {
        Source source;
        std::string text;
        int line;  // the line the error must name
        const char* reason;
    } cases[] = {
        {kShapes, "", 0, "needs bounds"},
        {kShapes, "bounds 1 1 100 100\nbox 0 0 10 10\n", 2, "shape before the first letter"},
        {kShapes, "bounds 500 80 100 526\n", 1, "malformed bounds"},
        {kShapes, logo + "slant steep\n", 5, "malformed slant"},
        {kShapes, logo + "box 0 0 10 10 6\n", 5, "corner radius larger"},
        {kShapes, logo + "bevel 16 17\n", 5, "unexpected text"},
        {kShapes,
         "bounds 0 0 200 100\nletter T 4000\nbox 0 0 4000 100\nletter I 40\nbox 0 0 40 100\n", 1,
         "too wide"},
        {kGlyphs, "= 66 A\n", 1, "expected \"= 66 B\""},
        {kGlyphs, glyph + glyph, 10, "defined twice"},
        {kGlyphs, "= 33 !\n..##...\n", 2, "8 of '.' and '#'"},
        {kGlyphs, "= 33 !\n........\n........\n........\n= 34 \"\n", 5, "fewer than 8 rows"},
        {kGlyphs, glyph, 9, "every code from 33 to 122"},
        {kGlyphs, "= 33 !\r\n..##....\r\n", 2, "8 of '.' and '#'"},
        {kSongText, "", 0, "order list"},
        {kSongText, song + "track T inst 01\nC-4:01:..:F80\nend\n", n + 2, "change the BPM"},
        {kSongText, song + "track T inst 01\nH-4\nend\n", n + 2, "not a note"},
        {kSongText, song + "track T inst 01\n. . . . .\nend\n", n + 3, "divide 64"},
        {kSongText, song + "track T\nC-4 . . .\n", n + 2, "no 'end'"},
        {kSongText, song + "restart 40\n", n + 1, "restart"},
        {kSongText, song + "bpm 125 130\n", n + 1, "expected: bpm N"},
        {kSongText, song + "track T 01\n", n + 1, "expected: track NAME [inst II]"},
        {kSongText, "channels 1\npattern 00 nothing\n", 2, "no track named"},
        {kSongText,
         std::string("\x7f"
                     "ELF\x02\x01\x01\0\0\0",
                     10),
         1, "unknown song setting"},
        {kInstruments, instruments + "instrument 0B X\nlayer buzz\nend\n", lines(instruments) + 2,
         "unknown wave"},
    };
    const std::string dir = makeTestDir("bad-source");
    const std::string source = dir + "/source.txt", out = dir + "/out.bin";
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        std::ofstream(source, std::ios::binary) << c.text;
        const std::vector<std::vector<std::string>> argv = {
            {TW_MAKE_LOGO, source, out},
            {TW_MAKE_FONT, source, out},
            {TW_MUSIC_TOOL, source, kSong + "song.txt", out},
            {TW_MUSIC_TOOL, kSong + "instruments.txt", source, out}};
        const ProcessResult r = runProcess(argv[c.source], {}, 60);
        EXPECT_TRUE(r.exited && r.exitStatus == 1) << r.err;
        EXPECT_NE(r.err.find(source + ":" + std::to_string(c.line) + ": "), std::string::npos)
            << r.err;
        EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << "not one line: " << r.err;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1)
            << "something was written";
    }
}

}  // namespace
}  // namespace tw::test

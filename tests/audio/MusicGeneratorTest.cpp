// The module generator: the embedded module is what its sources make, and bad sources are
// refused with one line and no output.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "audio/MusicModule.h"
#include "support/Process.h"

namespace tw {
namespace {

const std::string kSongDir = std::string(TW_SOURCE_DIR) + "/tools/music/song/";

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// Running the generator on the committed sources rebuilds the embedded module byte for byte.
TEST(MusicGenerator, RebuildsTheEmbeddedModuleExactly) {
    const std::string dir = test::makeTestDir("music-generator-rebuild");
    const std::string out = dir + "/music.xm";
    const test::ProcessResult r =
        test::runProcess({TW_MUSIC_TOOL, kSongDir + "instruments.txt", kSongDir + "song.txt", out});
    ASSERT_TRUE(r.exited && r.exitStatus == 0) << r.err;
    const MusicModule module = musicModule();
    const std::string built = readFile(out);
    ASSERT_EQ(built.size(), module.size);
    EXPECT_EQ(built, std::string(reinterpret_cast<const char*>(module.data), module.size));
}

// Each kind of bad source gives one line naming file and line, status 1, and no output file.
TEST(MusicGenerator, BadSourceFailsWithOneLineAndWritesNothing) {
    struct Case {
        const char* what;
        std::string instruments;
        std::string song;
        const char* mention;
    };
    const std::string goodInstruments = readFile(kSongDir + "instruments.txt");
    const std::string goodSong = readFile(kSongDir + "song.txt");
    const std::string track = "track T inst 01\n";
    const std::vector<Case> cases = {
        {"a BPM change", goodInstruments, goodSong + track + "C-4:01:..:F80\nend\n",
         "change the BPM"},
        {"a note out of range", goodInstruments, goodSong + track + "H-4\nend\n", "not a note"},
        {"an unknown instrument", goodInstruments, goodSong + track + "C-4:7F\nend\n",
         "whole number"},
        {"a track of 5 rows", goodInstruments, goodSong + track + ". . . . .\nend\n", "divide 64"},
        {"an unknown layer wave", goodInstruments + "instrument 0B X\nlayer buzz\nend\n", goodSong,
         "unknown wave"},
        {"a restart past the order list", goodInstruments, goodSong + "restart 40\n", "restart"},
    };
    for (const Case& c : cases) {
        const std::string dir = test::makeTestDir("music-generator-bad");
        std::ofstream(dir + "/instruments.txt") << c.instruments;
        std::ofstream(dir + "/song.txt") << c.song;
        const std::string out = dir + "/music.xm";
        const test::ProcessResult r =
            test::runProcess({TW_MUSIC_TOOL, dir + "/instruments.txt", dir + "/song.txt", out});
        EXPECT_TRUE(r.exited && r.exitStatus == 1) << c.what;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << c.what << ": " << r.err;
        EXPECT_NE(r.err.find(c.mention), std::string::npos) << c.what << ": " << r.err;
        EXPECT_NE(r.err.find(".txt:"), std::string::npos) << c.what << ": " << r.err;
        EXPECT_FALSE(exists(out)) << c.what;
        EXPECT_FALSE(exists(out + ".partial")) << c.what;
    }
}

}  // namespace
}  // namespace tw

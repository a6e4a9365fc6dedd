// tidewatch-assets exports the module byte for byte and one pass of it as a WAV file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "audio/MusicModule.h"
#include "audio/MusicRender.h"
#include "support/Process.h"

namespace tw {
namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t le(const std::string& s, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(s[at + i]);
    return v;
}

// music.xm is the embedded image; music.wav is 16-bit stereo 44100 Hz holding exactly the
// render of one pass.
TEST(MusicExport, WritesTheModuleAndOnePassAsWav) {
    const std::string dir = test::makeTestDir("music-export");
    const test::ProcessResult r = test::runProcess({TW_ASSETS_TOOL, dir}, {}, 120);
    ASSERT_TRUE(r.exited && r.exitStatus == 0) << r.err;

    const MusicModule module = musicModule();
    EXPECT_EQ(readFile(dir + "/music.xm"),
              std::string(reinterpret_cast<const char*>(module.data), module.size));

    const std::string wav = readFile(dir + "/music.wav");
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le(wav, 20, 2), 1u);  // PCM
    EXPECT_EQ(le(wav, 22, 2), 2u);
    EXPECT_EQ(le(wav, 24, 4), 44100u);
    EXPECT_EQ(le(wav, 34, 2), 16u);
    EXPECT_EQ(wav.substr(36, 4), "data");
    const std::vector<int16_t> pass = renderMusic(0.0, musicSongSeconds());
    ASSERT_EQ(le(wav, 40, 4), pass.size() * 2);
    ASSERT_EQ(wav.size(), 44 + pass.size() * 2);
    EXPECT_EQ(std::memcmp(wav.data() + 44, pass.data(), pass.size() * 2), 0);
}

}  // namespace
}  // namespace tw

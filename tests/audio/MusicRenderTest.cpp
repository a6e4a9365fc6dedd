// The module rendered as the intro plays it: length, level, clipping, gaps, the loop, and the
// stream's direct seek into a later pass.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "audio/MusicRender.h"
#include "support/MonitorRecording.h"

namespace tw {
namespace {

constexpr int kSilence = 33;  // about -60 dBFS

// One pass lasts 60 to 100 seconds and the render holds exactly that; its level lies between -20
// and -10 dBFS RMS, at most a handful of samples reach full scale, no silence lasts a second
// after the first, and the loop goes on without a gap.
TEST(MusicRender, OnePassHasItsLengthLevelAndNoGaps) {
    const double song = musicSongSeconds();
    EXPECT_GE(song, 60.0);
    EXPECT_LE(song, 100.0);
    const std::vector<int16_t> pass = renderMusic(0.0, song);
    EXPECT_EQ(pass.size(), 2 * static_cast<size_t>(std::llround(song * kMusicRate)));
    EXPECT_GE(test::levelDbfs(pass), -20.0);
    EXPECT_LE(test::levelDbfs(pass), -10.0);
    EXPECT_LE(
        std::count_if(pass.begin(), pass.end(), [](int16_t s) { return std::abs(s) >= 32767; }), 8);
    EXPECT_LT(test::longestQuietRun(pass, kMusicRate, pass.size() / 2, kSilence),
              static_cast<size_t>(kMusicRate));
    EXPECT_LT(test::longestQuietRun(renderMusic(song - 2.0, 4.0), 0, 4 * kMusicRate, kSilence),
              static_cast<size_t>(kMusicRate / 10));
}

// A start several passes in, which the stream finds inside the third pass, gives the same
// samples as playing through to it in uneven chunks.
TEST(MusicRender, SeekIntoALaterPassEqualsPlayingThrough) {
    const double start = 4.0 * musicSongSeconds() + 3.25;
    const std::vector<int16_t> sought = renderMusic(start, 1.0);
    EXPECT_GT(test::levelDbfs(sought), -40.0);

    MusicStream through;
    std::vector<int16_t> chunk(2 * 7919);  // a prime, so chunks never line up with player frames
    const auto before = static_cast<size_t>(std::llround(start * kMusicRate));
    for (size_t done = 0; done < before; done += chunk.size() / 2)
        through.read(chunk.data(), std::min(chunk.size() / 2, before - done));
    std::vector<int16_t> played(sought.size());
    through.read(played.data(), played.size() / 2);
    EXPECT_TRUE(played == sought);
}

}  // namespace
}  // namespace tw

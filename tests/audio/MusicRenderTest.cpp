// The module rendered as the intro plays it: length, level, clipping, gaps, and the loop.
#include <gtest/gtest.h>
#include <xmp.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "audio/MusicPlayer.h"
#include "audio/MusicRender.h"

namespace tw {
namespace {

constexpr int kSilence = 33;  // about -60 dBFS

double rmsDbfs(const std::vector<int16_t>& s, size_t from = 0, size_t to = SIZE_MAX) {
    to = std::min(to, s.size());
    double sum = 0.0;
    for (size_t i = from; i < to; ++i)
        sum += static_cast<double>(s[i]) * s[i];
    return 10.0 * std::log10(sum / static_cast<double>(to - from) / (32768.0 * 32768.0));
}

// Longest run of stereo frames with both channels below the silence level, from `fromFrame`.
size_t longestSilence(const std::vector<int16_t>& s, size_t fromFrame) {
    size_t longest = 0, run = 0;
    for (size_t f = fromFrame; 2 * f + 1 < s.size(); ++f) {
        const bool quiet = std::abs(s[2 * f]) < kSilence && std::abs(s[2 * f + 1]) < kSilence;
        run = quiet ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

// Seconds from the song's start to the first frame of the restart position.
double restartSeconds() {
    const char* failure = nullptr;
    xmp_context context = MusicPlayer::createContext(&failure);
    xmp_module_info info;
    xmp_get_module_info(context, &info);
    xmp_frame_info frame;
    double seconds = 0.0;
    while (seconds < 200.0) {  // bounded: a module that never gets there fails the caller
        xmp_play_frame(context);
        xmp_get_frame_info(context, &frame);
        if (frame.pos == info.mod->rst)
            break;
        seconds += frame.buffer_size / (4.0 * kMusicRate);
    }
    xmp_free_context(context);
    return seconds;
}

class MusicRender : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        songSeconds = musicSongSeconds();
        pass = new std::vector<int16_t>(renderMusic(0.0, songSeconds));
    }
    static void TearDownTestSuite() { delete pass; }
    static double songSeconds;
    static std::vector<int16_t>* pass;
};
double MusicRender::songSeconds = 0.0;
std::vector<int16_t>* MusicRender::pass = nullptr;

// One pass through the order list lasts 60 to 100 seconds, and the render holds exactly that.
TEST_F(MusicRender, OnePassLastsSixtyToHundredSeconds) {
    EXPECT_GE(songSeconds, 60.0);
    EXPECT_LE(songSeconds, 100.0);
    EXPECT_EQ(pass->size(), 2 * static_cast<size_t>(std::llround(songSeconds * kMusicRate)));
}

// At most a handful of samples reach full scale.
TEST_F(MusicRender, DoesNotClip) {
    const auto full = std::count_if(pass->begin(), pass->end(),
                                    [](int16_t s) { return s >= 32767 || s <= -32767; });
    EXPECT_LE(full, 8);
}

// The level of a whole pass lies between -20 and -10 dBFS RMS.
TEST_F(MusicRender, LevelIsWithinTarget) {
    const double level = rmsDbfs(*pass);
    EXPECT_GE(level, -20.0);
    EXPECT_LE(level, -10.0);
}

// After the first second no stretch of silence lasts longer than a second.
TEST_F(MusicRender, HasNoSilentStretchAfterTheFirstSecond) {
    EXPECT_LT(longestSilence(*pass, kMusicRate), static_cast<size_t>(kMusicRate));
}

// Each channel alone is clearly audible over a pass.
TEST_F(MusicRender, EveryChannelIsHeard) {
    const size_t frames = pass->size() / 2;
    for (int solo = 0; solo < 4; ++solo) {
        const char* failure = nullptr;
        xmp_context context = MusicPlayer::createContext(&failure);
        ASSERT_NE(context, nullptr);
        for (int ch = 0; ch < 4; ++ch)
            xmp_channel_mute(context, ch, ch == solo ? 0 : 1);
        std::vector<int16_t> alone;
        xmp_frame_info info;
        while (alone.size() < 2 * frames) {
            xmp_play_frame(context);
            xmp_get_frame_info(context, &info);
            const auto* s = static_cast<const int16_t*>(info.buffer);
            alone.insert(alone.end(), s, s + info.buffer_size / 2);
        }
        xmp_free_context(context);
        EXPECT_GT(rmsDbfs(alone), -35.0) << "channel " << solo + 1;
    }
}

// A stretch rendered from a later start is the same as that stretch of a longer render.
TEST_F(MusicRender, LaterStartRendersTheSameStretch) {
    const std::vector<int16_t> later = renderMusic(2.5, 0.75);
    ASSERT_EQ(later.size(), 2u * 33075u);
    const size_t from = 2 * static_cast<size_t>(2.5 * kMusicRate);
    EXPECT_TRUE(std::equal(later.begin(), later.end(), pass->begin() + from));
}

// After the last order the music goes straight on, without a gap.
TEST_F(MusicRender, LoopGoesOnWithoutAGap) {
    const std::vector<int16_t> seam = renderMusic(songSeconds - 2.0, 4.0);
    EXPECT_LT(longestSilence(seam, 0), static_cast<size_t>(kMusicRate / 10));
    EXPECT_GT(rmsDbfs(seam, seam.size() / 2, seam.size() / 2 + 2 * kMusicRate), -30.0);
}

// The second time round plays the restart position again, not the introduction.
TEST_F(MusicRender, LoopReplaysTheRestartPositionNotTheIntroduction) {
    const double restart = restartSeconds();
    ASSERT_GT(restart, 1.0);
    ASSERT_LT(restart + 6.0, songSeconds);
    // Once the notes held over the seam have ended, the loop is the first pass again.
    const std::vector<int16_t> again = renderMusic(songSeconds + 2.0, 4.0);
    const size_t from = 2 * static_cast<size_t>(std::llround((restart + 2.0) * kMusicRate));
    const std::vector<int16_t> first(pass->begin() + from, pass->begin() + from + again.size());
    std::vector<int16_t> diff(again.size());
    for (size_t i = 0; i < again.size(); ++i)
        diff[i] = static_cast<int16_t>(std::clamp(again[i] - first[i], -32768, 32767));
    EXPECT_LT(rmsDbfs(diff), rmsDbfs(first) - 40.0);

    // And what follows the seam is not the introduction.
    const std::vector<int16_t> seam = renderMusic(songSeconds, restart);
    const std::vector<int16_t> intro(pass->begin(), pass->begin() + seam.size());
    std::vector<int16_t> introDiff(seam.size());
    for (size_t i = 0; i < seam.size(); ++i)
        introDiff[i] = static_cast<int16_t>(std::clamp(seam[i] - intro[i], -32768, 32767));
    EXPECT_GT(rmsDbfs(introDiff), rmsDbfs(intro) - 6.0);
}

}  // namespace
}  // namespace tw

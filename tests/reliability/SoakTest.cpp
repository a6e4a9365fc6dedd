// The intro left running for a long time (TW_SOAK_SECONDS, 600 by default) under the private
// display and sound server (the tests' own, or those scripts/soak.sh starts). Every 10 s it samples
// the resident memory and a screenshot; the sink's monitor records the whole stream. Catches memory
// growth after the first minute, a gap over 100 ms in the stream, and frames that stop being
// presented.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/MusicRender.h"
#include "gl/Timer.h"
#include "support/MonitorRecording.h"
#include "support/TestServices.h"

namespace tw::test {
namespace {

constexpr int kRate = 44100;
constexpr int kNoSound = 4;  // both channels below this: no sound at all

TEST(Soak, MemorySoundAndPictureStaySteady) {
    const char* asked = std::getenv("TW_SOAK_SECONDS");
    const double seconds = asked != nullptr ? std::atof(asked) : 600.0;
    ASSERT_GE(seconds, 70.0) << "a soak shorter than 70 s says nothing about growth";
    useTestServices();
    MonitorRecording recording("soak");
    const std::string dir = makeTestDir("soak-shots");
    ChildProcess intro({TW_INTRO_PATH});
    const double start = Timer::now();
    long atMinute = -1, highest = -1;
    size_t shots = 0, unchanged = 0;
    for (int i = 1; 10.0 * i <= seconds; ++i) {
        sleepFor(start + 10.0 * i - Timer::now());
        ASSERT_TRUE(intro.running()) << "the intro ended by itself";
        const std::string status = readFile("/proc/" + std::to_string(intro.pid()) + "/status");
        const long rssKb = std::atol(status.c_str() + status.find("VmRSS:") + 6);
        const std::string shot = dir + "/shot-" + std::to_string(i % 2) + ".png";
        ASSERT_EQ(runProcess({"import", "-window", "root", shot}, {}, 30).exitStatus, 0);
        double changed = -1.0;
        if (shots++ > 0) {
            const std::string previous = dir + "/shot-" + std::to_string((i + 1) % 2) + ".png";
            changed =
                std::atof(runProcess({"compare", "-metric", "AE", previous, shot, "null:"}, {}, 30)
                              .err.c_str());
            unchanged += changed == 0.0;
        }
        if (Timer::now() - start >= 59.0) {
            atMinute = atMinute < 0 ? rssKb : atMinute;
            highest = std::max(highest, rssKb);
        }
        std::printf("soak %5.0f s: resident %ld kB, screen pixels changed %.0f\n",
                    Timer::now() - start, rssKb, changed);
        std::fflush(stdout);
    }
    // Sound from the first sound to the last sample before Escape.
    const size_t lastSampled = recording.frames();
    pressKeys({"Escape"});
    const ProcessResult r = intro.wait(20);
    const std::vector<int16_t> s = recording.finish();
    size_t first = 0;
    while (first < lastSampled && longestQuietRun(s, first, first + 1, kNoSound) == 1)
        ++first;
    const double gapMs = 1000.0 * longestQuietRun(s, first, lastSampled, kNoSound) / kRate;
    // The same measure on the music rendered offline: what the composition itself holds.
    const std::vector<int16_t> song = renderMusic(0.0, musicSongSeconds());
    const double songGapMs = 1000.0 * longestQuietRun(song, 0, song.size() / 2, kNoSound) / kRate;
    std::printf("soak: %.0f s; resident after 1 min %ld kB, highest after %ld kB\n", seconds,
                atMinute, highest);
    std::printf("soak: longest gap in the sound %.1f ms (the song's own %.1f ms)\n", gapMs,
                songGapMs);
    std::printf("soak: %zu screenshots, %zu unchanged from the one before\n", shots, unchanged);
    EXPECT_TRUE(r.exited && r.exitStatus == 0);
    EXPECT_EQ(r.out + r.err, "");
    ASSERT_GE(atMinute, 0);
    EXPECT_LT(highest - atMinute, 1024) << "resident memory grows";
    ASSERT_LT(first, lastSampled) << "no sound was recorded";
    EXPECT_LE(gapMs, 100.0) << "the sound stream has a gap";
    EXPECT_EQ(unchanged, 0u) << "frames stopped being presented";
}

}  // namespace
}  // namespace tw::test

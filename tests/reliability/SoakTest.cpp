// The intro left running for a long time (TW_SOAK_SECONDS, 600 by default) under a display and a
// sound server whose environment the caller sets (scripts/soak.sh starts both). Every 10 s it
// samples the resident memory and a screenshot; the sink's monitor records the whole stream.
// Passes when memory grows by less than 1 MB after the first minute, the stream has no gap over
// 100 ms, and every screenshot differs from the one before. Prints the figures.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "app/Timer.h"
#include "audio/MusicRender.h"
#include "support/Process.h"

namespace tw::test {
namespace {

constexpr int kRate = 44100;
constexpr int kQuiet = 4;  // |sample| below this on both channels counts as no sound

void sleepUntil(double when) {
    const double left = when - Timer::now();
    if (left > 0)
        std::this_thread::sleep_for(std::chrono::duration<double>(left));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Resident memory of a process in kB (VmRSS), or -1.
long residentKb(pid_t pid) {
    const std::string status = readFile("/proc/" + std::to_string(pid) + "/status");
    const size_t at = status.find("VmRSS:");
    return at == std::string::npos ? -1 : std::atol(status.c_str() + at + 6);
}

bool quiet(const int16_t* frame) {
    return std::abs(frame[0]) < kQuiet && std::abs(frame[1]) < kQuiet;
}

// Longest run of quiet frames in [from, to) of interleaved stereo samples.
size_t longestQuietRun(const std::vector<int16_t>& s, size_t from, size_t to) {
    size_t run = 0, longest = 0;
    for (size_t f = from; f < to && 2 * f + 1 < s.size(); ++f) {
        run = quiet(&s[2 * f]) ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

std::string env(const char* name, const char* fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : fallback;
}

TEST(Soak, MemorySoundAndPictureStaySteady) {
    const double seconds = std::atof(env("TW_SOAK_SECONDS", "600").c_str());
    ASSERT_GE(seconds, 70.0) << "a soak shorter than 70 s says nothing about growth";
    ASSERT_FALSE(env("DISPLAY", "").empty()) << "run through scripts/soak.sh";
    const std::string dir = makeTestDir("soak");
    const std::string raw = dir + "/monitor.raw";

    ChildProcess parec({"sh", "-c",
                        "exec parec -d \"$0\" --raw --format=s16le --rate=44100 --channels=2 "
                        "--latency-msec=20 > \"$1\"",
                        env("TW_SINK", "tidewatch") + ".monitor", raw});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ChildProcess intro({TW_INTRO_PATH});
    const double start = Timer::now();

    struct Sample {
        double at;
        long rssKb;
        double changedPixels;  // against the previous screenshot; -1 for the first
    };
    std::vector<Sample> samples;
    std::string previous;
    for (int i = 1; start + 10.0 * i <= start + seconds; ++i) {
        sleepUntil(start + 10.0 * i);
        ASSERT_TRUE(intro.running()) << "the intro ended: " << intro.wait(0).out;
        Sample sample{Timer::now() - start, residentKb(intro.pid()), -1.0};
        const std::string shot = dir + "/shot-" + std::to_string(i % 2) + ".png";
        ASSERT_EQ(runProcess({"import", "-window", "root", shot}, {}, 30).exitStatus, 0);
        if (!previous.empty()) {
            const ProcessResult compare =
                runProcess({"compare", "-metric", "AE", previous, shot, "null:"}, {}, 30);
            sample.changedPixels = std::atof(compare.err.c_str());
        }
        previous = shot;
        samples.push_back(sample);
        std::printf("soak %5.0f s: resident %ld kB, screen pixels changed %.0f\n", sample.at,
                    sample.rssKb, sample.changedPixels);
        std::fflush(stdout);
    }
    const ProcessResult key =
        runProcess({"xdotool", "mousemove", "5", "5", "key", "Escape"}, {}, 10);
    ASSERT_EQ(key.exitStatus, 0) << key.err;
    const ProcessResult r = intro.wait(20);
    parec.sendSignal(SIGTERM);
    parec.wait(5);
    const std::string bytes = readFile(raw);
    std::vector<int16_t> s(bytes.size() / 2);
    std::copy(bytes.data(), bytes.data() + s.size() * 2, reinterpret_cast<char*>(s.data()));

    // Memory after the first minute.
    long atMinute = -1, highest = -1;
    for (const Sample& sample : samples) {
        if (sample.at < 59.0)
            continue;
        if (atMinute < 0)
            atMinute = sample.rssKb;
        highest = std::max(highest, sample.rssKb);
    }
    // Sound: from the first sound to the last sample before Escape (the end of the last sample
    // period, less the monitor's latency).
    const size_t frames = s.size() / 2;
    size_t first = 0;
    while (first < frames && quiet(&s[2 * first]))
        ++first;
    const size_t lastSampled = std::min(frames, static_cast<size_t>(samples.back().at * kRate));
    const double gapMs = 1000.0 * longestQuietRun(s, first, lastSampled) / kRate;
    // The same measure on the music as rendered offline, over one pass through the song: what
    // the composition itself holds in silence.
    const std::vector<int16_t> song = renderMusic(0.0, musicSongSeconds());
    const double songGapMs = 1000.0 * longestQuietRun(song, 0, song.size() / 2) / kRate;
    size_t unchanged = 0;
    for (const Sample& sample : samples)
        unchanged += sample.changedPixels == 0.0;

    std::printf(
        "soak: %.0f s, %zu samples; resident after 1 min %ld kB, highest after %ld kB, "
        "growth %ld kB\n",
        seconds, samples.size(), atMinute, highest, highest - atMinute);
    std::printf(
        "soak: sound %.1f s recorded from the first sound; longest gap %.1f ms (the "
        "song's own longest silence %.1f ms)\n",
        static_cast<double>(lastSampled - std::min(first, lastSampled)) / kRate, gapMs, songGapMs);
    std::printf("soak: %zu screenshots, %zu unchanged from the one before; exit status %d\n",
                samples.size(), unchanged, r.exitStatus);

    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    ASSERT_GE(atMinute, 0);
    EXPECT_LT(highest - atMinute, 1024) << "resident memory grows";
    ASSERT_LT(first, frames) << "no sound was recorded";
    EXPECT_LE(gapMs, 100.0) << "the sound stream has a gap";
    EXPECT_EQ(unchanged, 0u) << "frames stopped being presented";
}

}  // namespace
}  // namespace tw::test

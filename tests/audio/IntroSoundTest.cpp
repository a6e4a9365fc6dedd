// The intro's sound on a real device: a private PulseAudio null sink recorded from its monitor
// while the intro runs under the private X server.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>

#include "support/MonitorRecording.h"
#include "support/Process.h"
#include "support/TestServices.h"

namespace tw::test {
namespace {

constexpr int kRate = 44100;

// The music reaches the device as non-silent, panned 16-bit stereo at 44100 Hz, only once the
// window exists, and stops within about half a second of the window closing on Escape (the
// frame in hand, slow on a software renderer, finishes first).
TEST(IntroSound, PlaysOnTheDeviceAndStopsOnEscape) {
    useTestServices();
    MonitorRecording recording("intro-sound");
    ChildProcess intro({TW_INTRO_PATH});
    ASSERT_TRUE(waitForWindow(20.0));
    const size_t windowFrame = recording.frames();
    // The music starts last in start-up, which can take seconds on a loaded software renderer.
    ASSERT_TRUE(waitForMusic(30.0));
    const std::string inputs = runProcess({"pactl", "list", "sink-inputs"}, {}, 10).out;
    sleepFor(2.0);
    pressKeys({"Escape"});
    ASSERT_TRUE(waitForWindow(20.0, false));
    const size_t closedFrame = recording.frames();
    const ProcessResult result = intro.wait(15.0);
    sleepFor(1.0);
    const std::vector<int16_t> s = recording.finish();
    const size_t frames = s.size() / 2;

    ASSERT_TRUE(result.exited && result.exitStatus == 0) << result.out << result.err;
    EXPECT_NE(inputs.find("Sample Specification: s16le 2ch 44100Hz"), std::string::npos) << inputs;
    size_t first = 0;
    while (first < frames && loudFrames(s, first, first + 1) == 0)
        ++first;
    ASSERT_LT(first + 2 * kRate, frames) << "the recording is silent or too short";
    EXPECT_GE(first, windowFrame) << "sound began before the window existed";
    double sum = 0.0;
    size_t differ = 0;
    for (size_t f = first; f < first + 2 * kRate; ++f) {
        sum += double(s[2 * f]) * s[2 * f] + double(s[2 * f + 1]) * s[2 * f + 1];
        differ += s[2 * f] != s[2 * f + 1];
    }
    EXPECT_GT(10.0 * std::log10(sum / (4.0 * kRate) / (32768.0 * 32768.0)), -35.0) << "too quiet";
    EXPECT_GT(differ, static_cast<size_t>(kRate / 2)) << "the channels carry the same signal";
    size_t last = frames;
    while (last > 0 && loudFrames(s, last - 1, last) == 0)
        --last;
    EXPECT_LT((double(last) - closedFrame) / kRate, 0.6) << "sound went on after the window";
    EXPECT_LT(last + kRate / 2, frames) << "the recording ended before the sound did";
}

// Without a usable sound device: the ALSA error, "can't initialize soun", status 1.
TEST(IntroSound, NoSoundDeviceFailsStartup) {
    useTestServices();
    const std::string dir = makeTestDir("intro-sound-none");
    mkdir((dir + "/home").c_str(), 0755);
    mkdir((dir + "/run").c_str(), 0700);
    const ProcessResult result = runProcess(
        {TW_INTRO_PATH},
        {{"HOME", dir + "/home"}, {"XDG_RUNTIME_DIR", dir + "/run"}, {"PULSE_SERVER", ""}}, 30.0);
    EXPECT_TRUE(result.exited && result.exitStatus == 1);
    EXPECT_EQ(result.out, "can't initialize soun\n");
    EXPECT_NE(result.err.find("Unable to initialize ALSA pcm device: "), std::string::npos)
        << result.err;
}

}  // namespace
}  // namespace tw::test

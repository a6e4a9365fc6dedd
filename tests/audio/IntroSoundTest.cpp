// The intro's sound on a real device: a private PulseAudio null sink recorded from its monitor
// while the intro runs under the private X server.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <thread>

#include "support/MonitorRecording.h"
#include "support/Process.h"
#include "support/TestServices.h"

namespace tw {
namespace {

constexpr int kRate = 44100;
constexpr int kSilence = 33;  // about -60 dBFS

void sleepFor(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

bool loud(const std::vector<int16_t>& s, size_t frame) {
    return std::abs(s[2 * frame]) >= kSilence || std::abs(s[2 * frame + 1]) >= kSilence;
}

double rmsDbfs(const std::vector<int16_t>& s, size_t fromFrame, size_t toFrame) {
    toFrame = std::min(toFrame, s.size() / 2);
    double sum = 0.0;
    for (size_t i = 2 * fromFrame; i < 2 * toFrame; ++i)
        sum += static_cast<double>(s[i]) * s[i];
    const double n = std::max<double>(1.0, 2.0 * (toFrame - fromFrame));
    return 10.0 * std::log10(sum / n / (32768.0 * 32768.0) + 1e-12);
}

bool windowExists() {
    return test::runProcess({"xdotool", "search", "--name", "^Vendrel - Tidewatch$"}, {}, 5)
               .exitStatus == 0;
}

// Waits until the intro's window exists (or, with `exists` false, is gone); false after
// `seconds`.
bool waitForWindow(double seconds, bool exists = true) {
    for (double waited = 0.0; waited < seconds; waited += 0.02) {
        if (windowExists() == exists)
            return true;
        sleepFor(0.02);
    }
    return false;
}

class IntroSound : public ::testing::Test {
  protected:
    void SetUp() override { test::useTestServices(); }
};

// The stream is non-silent 16-bit stereo at 44100 Hz and starts only after the window exists.
TEST_F(IntroSound, PlaysStereoAt44100OnceTheWindowExists) {
    test::MonitorRecording recording("intro-sound-plays");
    test::ChildProcess intro({TW_INTRO_PATH});
    ASSERT_TRUE(waitForWindow(20.0));
    const size_t windowFrame = recording.frames();
    sleepFor(1.0);
    const test::ProcessResult inputs = test::runProcess({"pactl", "list", "sink-inputs"}, {}, 10);
    sleepFor(2.0);
    test::pressKeys({"Escape"});
    const test::ProcessResult result = intro.wait(15.0);
    const std::vector<int16_t> s = recording.finish();

    EXPECT_NE(inputs.out.find("Sample Specification: s16le 2ch 44100Hz"), std::string::npos)
        << inputs.out;
    ASSERT_TRUE(result.exited && result.exitStatus == 0) << result.out << result.err;
    size_t first = 0;
    while (first < s.size() / 2 && !loud(s, first))
        ++first;
    ASSERT_LT(first, s.size() / 2) << "the recording is silent";
    EXPECT_GE(first, windowFrame) << "sound began before the window existed";
    EXPECT_GT(rmsDbfs(s, first, first + 2 * kRate), -35.0);
    // Stereo: the channels carry different signals (the instruments are panned).
    size_t differ = 0;
    for (size_t f = first; f < std::min(first + 2 * kRate, s.size() / 2); ++f)
        differ += s[2 * f] != s[2 * f + 1];
    EXPECT_GT(differ, static_cast<size_t>(kRate / 2));
}

// After Escape the sound stops within about half a second of the window closing (the frame in
// hand, which can take long on a software renderer, finishes first).
TEST_F(IntroSound, EscapeStopsTheSoundPromptly) {
    test::MonitorRecording recording("intro-sound-escape");
    test::ChildProcess intro({TW_INTRO_PATH});
    ASSERT_TRUE(waitForWindow(20.0));
    sleepFor(3.0);
    const size_t escapeFrame = recording.frames();
    test::pressKeys({"Escape"});
    ASSERT_TRUE(waitForWindow(20.0, false));
    const size_t closedFrame = recording.frames();
    const test::ProcessResult result = intro.wait(15.0);
    sleepFor(1.0);
    const std::vector<int16_t> s = recording.finish();

    ASSERT_TRUE(result.exited && result.exitStatus == 0) << result.out << result.err;
    ASSERT_GT(rmsDbfs(s, escapeFrame - kRate, escapeFrame), -35.0) << "no music before Escape";
    size_t last = s.size() / 2;
    while (last > 0 && !loud(s, last - 1))
        --last;
    const double after = (static_cast<double>(last) - closedFrame) / kRate;
    EXPECT_LT(after, 0.6) << "sound went on " << after << " s after the window closed ("
                          << (static_cast<double>(closedFrame) - escapeFrame) / kRate
                          << " s from Escape to the window closing)";
    EXPECT_LT(last + kRate / 2, s.size() / 2) << "the recording ended before the sound did";
}

// Stopped for a second and continued, the intro plays on and prints nothing.
TEST_F(IntroSound, ResumesSilentlyAfterStopAndContinue) {
    test::MonitorRecording recording("intro-sound-stop");
    test::ChildProcess intro({TW_INTRO_PATH});
    ASSERT_TRUE(waitForWindow(20.0));
    sleepFor(2.0);
    intro.sendSignal(SIGSTOP);
    const size_t stopFrame = recording.frames();
    sleepFor(1.0);
    intro.sendSignal(SIGCONT);
    const size_t continueFrame = recording.frames();
    sleepFor(2.5);
    test::pressKeys({"Escape"});
    const test::ProcessResult result = intro.wait(15.0);
    const std::vector<int16_t> s = recording.finish();

    ASSERT_TRUE(result.exited && result.exitStatus == 0);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "");
    // The device ran dry while the process was stopped ...
    size_t run = 0, longest = 0;
    for (size_t f = stopFrame; f < continueFrame + kRate / 2 && f < s.size() / 2; ++f) {
        run = loud(s, f) ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    EXPECT_GT(longest, static_cast<size_t>(kRate / 2));
    // ... and the music came back afterwards.
    EXPECT_GT(rmsDbfs(s, continueFrame + kRate / 2, continueFrame + 2 * kRate), -35.0);
}

// Without a usable sound device: the ALSA error, "can't initialize soun", status 1.
TEST_F(IntroSound, NoSoundDeviceFailsStartup) {
    const std::string dir = test::makeTestDir("intro-sound-none");
    const std::string home = dir + "/home";
    const std::string run = dir + "/run";
    mkdir(home.c_str(), 0755);
    mkdir(run.c_str(), 0700);
    const test::ProcessResult result = test::runProcess(
        {TW_INTRO_PATH}, {{"HOME", home}, {"XDG_RUNTIME_DIR", run}, {"PULSE_SERVER", ""}}, 30.0);
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_EQ(result.out, "can't initialize soun\n");
    EXPECT_NE(result.err.find("Unable to initialize ALSA pcm device: "), std::string::npos)
        << result.err;
}

}  // namespace
}  // namespace tw

// The real intro's endings, with and without faults while it runs.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "gl/Timer.h"
#include "support/FaultRun.h"
#include "support/MonitorRecording.h"
#include "support/TestServices.h"
#include "support/X11Probe.h"

namespace tw::test {
namespace {

class RunTimeFault : public ::testing::Test {
  protected:
    void SetUp() override { useTestServices(); }
};

// Each way out of a running intro: status 0, its exact output, music before the end only where
// there can be any, and none after the exit. The window covers the screen and hides the cursor;
// other keys do nothing. Music reaches the device only once the window exists, as 16-bit stereo
// at 44100 Hz, loud enough and panned.
TEST_F(RunTimeFault, EachEndingIsCleanAndSilencesTheMusic) {
    const struct {
        const char* what;
        std::map<std::string, std::string> env;
        double wait;        // seconds shown (with music, if any) before the ending
        bool closeRequest;  // the window system's close request instead of Escape
        const char* err;    // expected standard error
        int musicBefore;    // 1 loud, 0 silent, -1 not checked
    } cases[] = {
        {"audio thread fails to start (then Escape)", withFault("thread"), 3.0, false,
         "Unable to start the audio thread: Resource temporarily unavailable (no music)\n", 0},
        {"window system's close request", {}, 6.0, true, "", 1},
        {"Escape as soon as the window shows", {}, 0.0, false, "", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(cursorInvisible()) << "the root window's cursor should be visible";
        MonitorRecording recording("failure-ending");
        ChildProcess intro({TW_INTRO_PATH}, c.env);
        ASSERT_TRUE(waitForWindow(60));
        const size_t windowFrame = recording.frames();
        std::string inputs;
        if (c.musicBefore == 1) {
            ASSERT_TRUE(waitForMusic(60));
            inputs = runProcess({"pactl", "list", "sink-inputs"}, {}, 10).out;
        }
        EXPECT_TRUE(windowCovers(1920, 1080));
        if (c.wait > 0)
            pressKeys({"a", "Return", "space", "q"});
        sleepFor(c.wait);
        ASSERT_TRUE(intro.running()) << "ended before its ending";
        EXPECT_TRUE(c.wait == 0 || cursorInvisible());
        const size_t ending = recording.frames();
        if (c.closeRequest) {
            ASSERT_TRUE(sendCloseRequest(findWindow()));
        } else {
            pressKeys({"Escape"});
        }
        const ProcessResult r = intro.wait(20);
        const size_t ended = recording.frames();
        sleepFor(1.0);
        const std::vector<int16_t> s = recording.finish();
        EXPECT_TRUE(r.exited && r.exitStatus == 0);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, c.err);
        if (c.musicBefore >= 0) {
            EXPECT_EQ(loudFrames(s, ending - 44100, ending) > 4410, c.musicBefore == 1)
                << "music in the second before the ending";
        }
        if (c.musicBefore == 1) {
            EXPECT_NE(inputs.find("Sample Specification: s16le 2ch 44100Hz"), std::string::npos);
            size_t first = 0;
            while (first < ending && loudFrames(s, first, first + 1) == 0)
                ++first;
            EXPECT_GE(first, windowFrame) << "sound began before the window existed";
            EXPECT_GT(levelDbfs(s, first, ending), -35.0) << "too quiet";
            size_t differ = 0;
            for (size_t f = first; f < ending; ++f)
                differ += s[2 * f] != s[2 * f + 1];
            EXPECT_GT(differ, (ending - first) / 4) << "the channels carry the same signal";
        }
        // The sink's monitor lags the program by its latency; a quarter second covers it.
        EXPECT_EQ(loudFrames(s, ended + 11025, s.size() / 2), 0u) << "music went on after exit";
    }
}

// CPU seconds of the threads of `pid` named like the program, apart from the main thread: the
// audio thread (the GL driver's and sound client's threads are named differently).
double audioThreadSeconds(pid_t pid) {
    double seconds = 0.0;
    for (const auto& task :
         std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task")) {
        const std::string stat = readFile(task.path().string() + "/stat");
        const size_t close = stat.rfind(')');
        if (task.path().filename() == std::to_string(pid) ||
            stat.find("(tidewatch)") == std::string::npos)
            continue;
        std::istringstream fields(stat.substr(close + 2));
        std::string field;
        for (int i = 3; i <= 15 && fields >> field; ++i)
            if (i == 14 || i == 15)  // utime, stime
                seconds += std::stod(field) / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
    return seconds;
}

// The sound server dies during the run: nothing is printed, the picture goes on, the audio thread
// does not spin on the dead device, and Escape ends the intro promptly with status 0.
TEST_F(RunTimeFault, SoundServerKilledPictureGoesOnAndEscapeEnds) {
    const std::string dir = makeTestDir("failure-server-killed");
    const std::string home = dir + "/home", run = dir + "/run";
    mkdir(home.c_str(), 0755);
    mkdir(run.c_str(), 0700);
    std::ofstream(home + "/.asoundrc")
        << "pcm.!default { type pulse }\nctl.!default { type pulse }\n";
    const std::map<std::string, std::string> env = {
        {"HOME", home}, {"XDG_RUNTIME_DIR", run}, {"PULSE_SERVER", ""}};
    ChildProcess server({"pulseaudio", "--daemonize=no", "--exit-idle-time=-1", "-n",
                         "--load=module-null-sink sink_name=doomed rate=44100 channels=2",
                         "--load=module-native-protocol-unix"},
                        env);
    ASSERT_TRUE(waitUntil(10, [&] {
        return runProcess({"pactl", "info"}, env, 5).exitStatus == 0;
    })) << "the private sound server did not start";
    ChildProcess intro({TW_INTRO_PATH}, env);
    ASSERT_TRUE(waitForWindow(60));
    ASSERT_TRUE(waitForMusic(60, env));
    sleepFor(2.0);
    kill(server.pid(), SIGKILL);
    server.wait(5);
    sleepFor(1.0);
    const double audioBefore = audioThreadSeconds(intro.pid()), measured = Timer::now();
    ASSERT_EQ(runProcess({"import", "-window", "root", dir + "/a.png"}, {}, 30).exitStatus, 0);
    // A frame can take seconds on a loaded software renderer: a few tries before calling it still.
    double changed = 0.0;
    for (int i = 0; i < 5 && changed <= 1000.0; ++i) {
        sleepFor(2.0);
        ASSERT_EQ(runProcess({"import", "-window", "root", dir + "/b.png"}, {}, 30).exitStatus, 0);
        changed = std::atof(
            runProcess({"compare", "-metric", "AE", dir + "/a.png", dir + "/b.png", "null:"}, {},
                       30)
                .err.c_str());
    }
    const double audioShare =
        (audioThreadSeconds(intro.pid()) - audioBefore) / (Timer::now() - measured);
    const double pressed = Timer::now();
    pressKeys({"Escape"});
    const ProcessResult r = intro.wait(20);
    const double toExit = Timer::now() - pressed;
    EXPECT_GT(changed, 1000.0) << "the picture stopped with the server";
    EXPECT_LT(audioShare, 0.2) << "the audio thread spins on the dead device";
    EXPECT_TRUE(r.exited && r.exitStatus == 0);
    EXPECT_EQ(r.out + r.err, "");
    EXPECT_LT(toExit, 5.0);
}

}  // namespace
}  // namespace tw::test

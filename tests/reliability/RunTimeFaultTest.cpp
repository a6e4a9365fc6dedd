// Faults while the real intro runs, end to end: the audio thread not starting, the sound server
// killed, the window system's close request and an early Escape. Each must end cleanly within a
// bounded wait, with the music stopped.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/Timer.h"
#include "reliability/FaultRun.h"
#include "support/MonitorRecording.h"
#include "support/Process.h"
#include "support/TestServices.h"
#include "support/X11Probe.h"

namespace tw::test {
namespace {

class RunTimeFault : public ::testing::Test {
  protected:
    void SetUp() override { useTestServices(); }
};

// The audio thread cannot be created: one line on standard error, the picture runs without
// music, and Escape still ends it with status 0 (stop has no thread to join).
TEST_F(RunTimeFault, AudioThreadFailureRunsSilentlyAndEndsOnEscape) {
    MonitorRecording recording("failure-no-thread");
    ChildProcess intro({TW_INTRO_PATH}, withFault("thread"));
    ASSERT_TRUE(waitForWindow(60));
    sleepFor(3.0);
    ASSERT_TRUE(intro.running()) << intro.wait(0).out;
    const double pressed = Timer::now();
    pressKeys({"Escape"});
    const ProcessResult r = intro.wait(20);
    const double toExit = Timer::now() - pressed;
    const std::vector<int16_t> s = recording.finish();
    report("audio thread fails to start (then Escape)", r, toExit);
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err,
              "Unable to start the audio thread: Resource temporarily unavailable (no "
              "music)\n");
    EXPECT_EQ(loudFrames(s, 0, s.size() / 2), 0u) << "music played without its thread";
}

// CPU seconds used so far by the threads of `pid` that carry the program's own name, apart from
// the main thread: the audio thread (the GL driver's and sound client's threads are named
// differently, and the rest sleep).
double helperThreadSeconds(pid_t pid, const std::string& name) {
    double seconds = 0.0;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& task : std::filesystem::directory_iterator(tasks)) {
        if (task.path().filename() == std::to_string(pid))
            continue;
        const std::string stat = readFile(task.path().string() + "/stat");
        const size_t open = stat.find('('), close = stat.rfind(')');
        if (open == std::string::npos || close == std::string::npos ||
            stat.substr(open + 1, close - open - 1) != name)
            continue;
        std::istringstream fields(stat.substr(close + 2));
        std::string field;
        double ticks = 0.0;
        for (int i = 3; i <= 15 && fields >> field; ++i)
            if (i == 14 || i == 15)  // utime, stime
                ticks += std::stod(field);
        seconds += ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
    return seconds;
}

// The sound server dies during the run: nothing is printed, the picture goes on, the audio thread
// does not spin on the dead device, and Escape ends the intro with status 0 promptly.
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
    bool up = false;
    for (int i = 0; i < 100 && !up; ++i) {
        sleepFor(0.1);
        up = runProcess({"pactl", "info"}, env, 5).exitStatus == 0;
    }
    ASSERT_TRUE(up) << "the private sound server did not start";

    ChildProcess intro({TW_INTRO_PATH}, env);
    ASSERT_TRUE(waitForWindow(60));
    // The music starts last in start-up: wait until its stream plays on the server.
    bool playing = false;
    for (int i = 0; i < 600 && !playing && intro.running(); ++i) {
        sleepFor(0.1);
        playing = !runProcess({"pactl", "list", "short", "sink-inputs"}, env, 5).out.empty();
    }
    ASSERT_TRUE(playing) << intro.wait(0).out;
    sleepFor(2.0);
    const std::string shots = makeTestDir("failure-server-killed-shots");
    server.sendSignal(SIGKILL);
    server.wait(5);
    sleepFor(1.0);
    const double audioBefore = helperThreadSeconds(intro.pid(), "tidewatch");
    ASSERT_EQ(runProcess({"import", "-window", "root", shots + "/a.png"}, {}, 30).exitStatus, 0);
    sleepFor(2.0);
    ASSERT_EQ(runProcess({"import", "-window", "root", shots + "/b.png"}, {}, 30).exitStatus, 0);
    const double audioCpu = helperThreadSeconds(intro.pid(), "tidewatch") - audioBefore;
    const ProcessResult compare = runProcess(
        {"compare", "-metric", "AE", shots + "/a.png", shots + "/b.png", "null:"}, {}, 30);
    const double changed = std::atof(compare.err.c_str());

    const double pressed = Timer::now();
    pressKeys({"Escape"});
    const ProcessResult r = intro.wait(20);
    const double toExit = Timer::now() - pressed;
    report("sound server killed during the run (then Escape)", r, toExit);
    std::printf("  after the kill: %.0f screen pixels changed in 2 s, audio thread %.2f s CPU\n",
                changed, audioCpu);
    EXPECT_GT(changed, 1000.0) << "the picture stopped with the sound server";
    EXPECT_LT(audioCpu, 0.5) << "the audio thread spins on the dead device";
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_LT(toExit, 5.0);
}

// The window system's close request: status 0, nothing printed, and the music stops with the
// program (nothing loud on the sink after it has ended).
TEST_F(RunTimeFault, CloseRequestEndsAndStopsTheMusic) {
    MonitorRecording recording("failure-close-request");
    ChildProcess intro({TW_INTRO_PATH});
    ASSERT_TRUE(waitForWindow(60));
    sleepFor(3.0);
    const std::string id = findWindow();
    ASSERT_FALSE(id.empty());
    const size_t requested = recording.frames();
    const double sent = Timer::now();
    ASSERT_TRUE(sendCloseRequest(id));
    const ProcessResult r = intro.wait(20);
    const double toExit = Timer::now() - sent;
    const size_t ended = recording.frames();
    sleepFor(1.0);
    const std::vector<int16_t> s = recording.finish();
    report("window system's close request", r, toExit);
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    EXPECT_GT(loudFrames(s, requested - 44100, requested), 4410u) << "no music before";
    // The sink's monitor lags the program by its latency; a quarter second covers it.
    EXPECT_EQ(loudFrames(s, ended + 11025, s.size() / 2), 0u) << "music went on after the exit";
}

// Escape at once, while the first frames are still calibrating the resolution: status 0,
// nothing printed, and the frame loop ended within its first second.
TEST_F(RunTimeFault, EscapeInTheFirstHalfSecondEndsCleanly) {
    {
        ChildProcess intro({TW_INTRO_PATH});
        ASSERT_TRUE(waitForWindow(60));
        const double pressed = Timer::now();
        pressKeys({"Escape"});
        const ProcessResult r = intro.wait(20);
        const double toExit = Timer::now() - pressed;
        report("Escape as soon as the window shows", r, toExit);
        EXPECT_TRUE(r.exited);
        EXPECT_EQ(r.exitStatus, 0);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "");
    }
    // The same through the test entry point, whose frame report shows when the loop ended.
    ChildProcess intro({TW_INTRO_HARNESS, "--trace"});
    ASSERT_TRUE(waitForWindow(60));
    const double pressed = Timer::now();
    pressKeys({"Escape"});
    const ProcessResult r = intro.wait(20);
    const double toExit = Timer::now() - pressed;
    report("Escape as soon as the window shows (frame report)", r, toExit);
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.exitStatus, 0);
    EXPECT_EQ(r.out, "");
    double lastTime = -1.0;
    int frames = 0;
    std::istringstream lines(r.err);
    for (std::string line; std::getline(lines, line);) {
        int frame = 0, w = 0, h = 0;
        double time = 0.0;
        if (std::sscanf(line.c_str(), "frame %d time %lf size %dx%d", &frame, &time, &w, &h) == 4) {
            lastTime = time;
            ++frames;
        } else {
            EXPECT_EQ(line.rfind("quad buffer ", 0), 0u) << "unexpected output: " << line;
        }
    }
    std::printf("  frames before the end: %d, the last at scene time %.3f s\n", frames, lastTime);
    EXPECT_GE(frames, 1) << "no frame was presented";
    EXPECT_LT(lastTime, 1.0) << "Escape was not taken during calibration";
}

}  // namespace
}  // namespace tw::test

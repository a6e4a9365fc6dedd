// Failure paths of the real intro, end to end: what it prints, its exit status, and that it ends
// within a bounded wait. Faults come from outside the program: a display server without GLX, the
// GL compiling replaced shader texts (Mesa's MESA_SHADER_READ_PATH), a private sound server that
// is killed, and a preloaded library that makes one library call fail (fault_inject.cpp).
// Each case prints one line "fault | output | status | seconds" for the reliability table.
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
#include "support/MonitorRecording.h"
#include "support/Process.h"
#include "support/TestServices.h"
#include "support/X11Probe.h"

namespace tw::test {
namespace {

const char* const kTitle = "^Vendrel - Tidewatch$";

void sleepFor(double seconds) {
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n')
            c = ' ';
    if (text.size() > 70)
        text = text.substr(0, 67) + "...";
    return text.empty() ? "(nothing)" : text;
}

void report(const std::string& fault, const ProcessResult& r, double seconds) {
    std::printf("fault | %s | out: %s | err: %s | status %d%s | %.2f s\n", fault.c_str(),
                oneLine(r.out).c_str(), oneLine(r.err).c_str(), r.exitStatus,
                r.exited ? "" : " (killed after the wait)", seconds);
}

// The window id of the intro on the current display once it is mapped (keys pressed before then
// go elsewhere), or "" until then.
std::string findWindow() {
    const ProcessResult found =
        runProcess({"xdotool", "search", "--onlyvisible", "--name", kTitle}, {}, 5);
    return found.exitStatus == 0 ? found.out.substr(0, found.out.find('\n')) : "";
}

bool waitForWindow(double seconds) {
    for (double waited = 0.0; waited < seconds; waited += 0.05) {
        if (!findWindow().empty())
            return true;
        sleepFor(0.05);
    }
    return false;
}

// The environment that preloads the fault library with one fault chosen.
std::map<std::string, std::string> withFault(const std::string& fault) {
    // Keeps what a sanitizer run preloads; such a build must let the libraries come before its
    // runtime.
    const char* preloaded = std::getenv("LD_PRELOAD");
    const char* asan = std::getenv("ASAN_OPTIONS");
    return {
        {"LD_PRELOAD", std::string(TW_FAULT_LIBRARY) +
                           (preloaded != nullptr ? std::string(":") + preloaded : "")},
        {"TW_FAULT", fault},
        {"ASAN_OPTIONS", std::string(asan != nullptr ? asan : "") + ":verify_asan_link_order=0"}};
}

// Frames in [from, to) whose samples are above about -60 dBFS.
size_t loudFrames(const std::vector<int16_t>& s, size_t from, size_t to) {
    size_t loud = 0;
    for (size_t f = from; f < to && 2 * f + 1 < s.size(); ++f)
        loud += std::abs(s[2 * f]) >= 33 || std::abs(s[2 * f + 1]) >= 33;
    return loud;
}

class FailurePath : public ::testing::Test {
  protected:
    void SetUp() override { useTestServices(); }
};

// GLFW reporting no primary monitor (Xvfb always reports one, so the fault library makes the
// call return none): its line, status 1, at once.
TEST_F(FailurePath, NoPrimaryMonitorFailsWithItsLine) {
    const ProcessResult r = runProcess({TW_INTRO_PATH}, withFault("no-monitor"), 30);
    report("no primary monitor", r, r.seconds);
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.out, "no primary monitor found\n");
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_LT(r.seconds, 5.0);
}

// A display server without the GLX extension: GLFW starts, but no window with a GL context can
// be made: its line, status 1.
TEST_F(FailurePath, WindowCreationFailureFailsWithItsLine) {
    const std::string dir = makeTestDir("failure-no-glx");
    ChildProcess xvfb({"sh", "-c",
                       "exec Xvfb -displayfd 3 -screen 0 1280x720x24 -nolisten tcp "
                       "-extension GLX 3>\"$0\"",
                       dir + "/display"});
    std::string display;
    for (int i = 0; i < 100 && display.empty(); ++i) {
        sleepFor(0.1);
        display = readFile(dir + "/display");
    }
    ASSERT_FALSE(display.empty()) << "the private Xvfb did not start";
    display = ":" + display.substr(0, display.find('\n'));

    const ProcessResult r = runProcess({TW_INTRO_PATH}, {{"DISPLAY", display}}, 30);
    report("window creation fails (no GLX)", r, r.seconds);
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.out, "open window glfwInit failed\n");
    EXPECT_EQ(r.exitStatus, 1);
    EXPECT_LT(r.seconds, 10.0);
}

const char* const kBrokenVertex = "#version 120\nvoid main() { gl_Position = missing; }\n";
const char* const kBrokenFragment = "#version 120\nvoid main() { gl_FragColor = missing; }\n";
// Compiles, but reads a varying that no vertex stage writes: only the link fails.
const char* const kUnlinkableFragment =
    "#version 120\nvarying vec4 unwritten;\nvoid main() { gl_FragColor = unwritten; }\n";

// Mesa's file names for the two stages of one pass ("VS_<sha1>.glsl", "FS_<sha1>.glsl"), found by
// building that pass alone with MESA_SHADER_DUMP_PATH set.
struct StageNames {
    std::string vertex;
    std::string fragment;
};

StageNames dumpedStages(const std::string& pass) {
    const std::string dir = makeTestDir("failure-" + pass + "-dump");
    const ProcessResult built =
        runProcess({TW_PASS_BUILD_PROBE, pass}, {{"MESA_SHADER_DUMP_PATH", dir}}, 120);
    EXPECT_EQ(built.exitStatus, 0) << built.err;
    StageNames names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        (name.rfind("VS_", 0) == 0 ? names.vertex : names.fragment) = name;
    }
    EXPECT_FALSE(names.vertex.empty() || names.fragment.empty())
        << "the GL did not dump both stages of " << pass << " (MESA_SHADER_DUMP_PATH)";
    return names;
}

// Each of the three programs failing to compile in either stage and failing to link: the pass's
// line, status 1 and the log on standard error. The GL compiles a replaced text for one stage
// (MESA_SHADER_READ_PATH). A vertex text shared with a pass built earlier would fail that pass
// first in the intro, so such a stage is tried in the test program that builds its pass alone.
TEST_F(FailurePath, EachShaderCompileAndLinkFailureStopsStartup) {
    struct Pass {
        const char* name;
        const char* line;
    };
    const Pass passes[] = {{"scene", "Raytracer Shader : ERROR"},
                           {"fxaa", "FXAA Shader : ERROR"},
                           {"postfx", "PostFX Shader : ERROR"}};
    std::vector<std::string> earlierVertex;
    for (const Pass& pass : passes) {
        const StageNames names = dumpedStages(pass.name);
        const bool shared = std::find(earlierVertex.begin(), earlierVertex.end(), names.vertex) !=
                            earlierVertex.end();
        earlierVertex.push_back(names.vertex);
        struct Fault {
            const char* what;
            const std::string& file;
            const char* text;
            const char* inLog;
            bool alone;
        };
        const Fault faults[] = {
            {"vertex compile", names.vertex, kBrokenVertex, "missing", shared},
            {"fragment compile", names.fragment, kBrokenFragment, "missing", false},
            {"link", names.fragment, kUnlinkableFragment, "unwritten", false},
        };
        for (const Fault& f : faults) {
            const std::string what = std::string(pass.name) + " " + f.what;
            const std::string readDir = makeTestDir("failure-shader-read");
            std::ofstream(readDir + "/" + f.file) << f.text;
            const std::vector<std::string> argv =
                f.alone ? std::vector<std::string>{TW_PASS_BUILD_PROBE, pass.name}
                        : std::vector<std::string>{TW_INTRO_PATH};
            const ProcessResult r = runProcess(argv, {{"MESA_SHADER_READ_PATH", readDir}}, 120);
            report(what + (f.alone ? " (pass built alone)" : ""), r, r.seconds);
            EXPECT_TRUE(r.exited) << what;
            EXPECT_EQ(r.exitStatus, 1) << what;
            EXPECT_EQ(r.out, std::string(pass.line) + "\n") << what;
            EXPECT_NE(r.err.find(f.inLog), std::string::npos) << what << ": no log: " << r.err;
        }
    }
}

// The module player refusing the module (its header damaged on the way in): its line, status 1.
TEST_F(FailurePath, RejectedModuleFailsWithItsLine) {
    const ProcessResult r = runProcess({TW_INTRO_PATH}, withFault("module"), 120);
    report("module rejected by the player", r, r.seconds);
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.out, "xmp_load_module\n");
    EXPECT_EQ(r.exitStatus, 1);
}

// The audio thread cannot be created: one line on standard error, the picture runs without
// music, and Escape still ends it with status 0 (stop has no thread to join).
TEST_F(FailurePath, AudioThreadFailureRunsSilentlyAndEndsOnEscape) {
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
TEST_F(FailurePath, SoundServerKilledPictureGoesOnAndEscapeEnds) {
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
TEST_F(FailurePath, CloseRequestEndsAndStopsTheMusic) {
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
TEST_F(FailurePath, EscapeInTheFirstHalfSecondEndsCleanly) {
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

// The real tidewatch-record end to end, with no display and no sound server.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "gl/Timer.h"
#include "support/FaultRun.h"
#include "support/PixelProbe.h"
#include "support/Process.h"

namespace tw {
namespace {

using test::ProcessResult;
using test::runProcess;

const std::map<std::string, std::string> kHeadless = {{"DISPLAY", ""}};

std::vector<std::string> entries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// PSNR in dB of frame 10 of a video against a picture, the picture turned upside down or not.
double psnrOfFrameTen(const std::string& video, const std::string& picture, bool flip) {
    const ProcessResult run =
        runProcess({"ffmpeg", "-nostats", "-i", video, "-i", picture, "-lavfi",
                    std::string("[0:v]select=eq(n\\,10)[a];[1:v]") + (flip ? "vflip" : "null") +
                        "[b];[a][b]psnr",
                    "-f", "null", "-"});
    const size_t at = run.err.find("average:");
    return at == std::string::npos ? 0.0 : std::atof(run.err.c_str() + at + 8);
}

// Each bad line: status 2 within seconds, one line with the reason, and nothing written.
TEST(RecordOptions, BadLinesAreRefusedWithOneLineAndNothingWritten) {
    const std::string dir = test::makeTestDir("record-bad-lines");
    const std::string out = dir + "/clip.mp4";
    const std::string frames = dir + "/frames";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--out", out, "--colour"}, "unknown option '--colour'"},
        {{"--out", out, "--size", "640by360"}, "bad --size '640by360': expected WIDTHxHEIGHT"},
        {{"--out", out, "--size", "641x360"}, "'641x360': the video needs an even width"},
        {{"--out", out, "--size", "100000x100000"}, "'100000x100000': the GL renders at most"},
        {{"--out", out, "--fps", "241"}, "bad --fps '241': expected a whole number from 1 to 240"},
        {{"--out", out, "--seconds", "1e6"}, "bad --seconds '1e6': expected more than 0 and at"},
        {{"--out", out, "--start", "1e12"}, "bad --start '1e12'"},
        {{"--out", "-"}, "--out - is not possible: an MP4 needs a file it can seek in"},
        {{"--frames", frames, "--out", out}, "--frames and --out exclude each other"},
        {{"--frames", frames, "--seconds", "30000"}, "with --frames at most 21600"},
        {{"--out", dir + "/missing/clip.mp4"}, "output folder '" + dir + "/missing' does not"},
    };
    for (const auto& [args, message] : cases) {
        std::vector<std::string> argv = args;
        argv.insert(argv.begin(), TW_RECORD_PATH);
        const ProcessResult run = runProcess(argv, kHeadless, 60.0);
        EXPECT_EQ(run.exitStatus, 2) << message;
        EXPECT_LT(run.seconds, 10.0) << message;
        EXPECT_EQ(run.err.rfind("tidewatch-record: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_TRUE(std::filesystem::is_empty(dir)) << message;
    }
}

// A clip as video (through a symbolic link, which stays) and as pictures read back both ways: the
// same bytes either way, the video's streams and frames as asked, upright, and a WAV as long.
TEST(RecordProcess, VideoPicturesAndMusicAgree) {
    const std::string dir = test::makeTestDir("record-clip");
    std::filesystem::create_symlink("clip.mp4", dir + "/link.mp4");
    // Two seconds of 160x90 at 10 fps, from a moment where the scene and the music are under way.
    for (const auto& output : std::vector<std::vector<std::string>>{
             {"--out", dir + "/link.mp4"},
             {"--frames", dir + "/pbo"},
             {"--frames", dir + "/direct", "--readback", "direct"}}) {
        std::vector<std::string> args = {TW_RECORD_PATH, "--size=160x90", "--fps=10", "--seconds=2",
                                         "--start=12"};
        args.insert(args.end(), output.begin(), output.end());
        const ProcessResult run = runProcess(args, kHeadless, 120.0);
        ASSERT_EQ(run.exitStatus, 0) << run.err;
    }
    EXPECT_EQ(entries(dir), (std::vector<std::string>{"clip.mp4", "direct", "link.mp4", "pbo"}));
    EXPECT_TRUE(std::filesystem::is_symlink(dir + "/link.mp4"));
    const ProcessResult probe = runProcess(
        {"ffprobe", "-v", "error", "-count_frames", "-show_entries",
         "stream=codec_name,width,height,pix_fmt,r_frame_rate,nb_read_frames,channels,sample_rate",
         "-of", "csv=p=0", dir + "/clip.mp4"});
    EXPECT_NE(probe.out.find("h264,160,90,yuv420p,10/1,20\n"), std::string::npos) << probe.out;
    EXPECT_NE(probe.out.find("aac,44100,2,"), std::string::npos) << probe.out;

    const std::vector<std::string> names = entries(dir + "/pbo");
    ASSERT_EQ(names.size(), 21u);  // 20 frames and the music
    for (const std::string& name : names)
        EXPECT_EQ(test::readFile(dir + "/pbo/" + name), test::readFile(dir + "/direct/" + name))
            << name;
    EXPECT_NE(test::readFile(dir + "/pbo/frame-000000.png"),
              test::readFile(dir + "/pbo/frame-000019.png"));

    EXPECT_EQ(test::readFile(dir + "/pbo/audio.wav").size(),
              44u + 2 * 44100 * 4);  // 2 s, 16-bit stereo

    const std::string picture = dir + "/pbo/frame-000010.png";
    EXPECT_GT(psnrOfFrameTen(dir + "/clip.mp4", picture, false), 35.0);
    EXPECT_LT(psnrOfFrameTen(dir + "/clip.mp4", picture, true), 25.0);
}

// A stand-in for ffmpeg: a shell script first on PATH.
std::string fakeFfmpeg(const std::string& dir, const std::string& body) {
    std::filesystem::create_directories(dir + "/bin");
    std::ofstream(dir + "/bin/ffmpeg") << "#!/bin/sh\nfor last; do :; done\n" << body;
    chmod((dir + "/bin/ffmpeg").c_str(), 0755);
    return dir + "/bin:/usr/bin:/bin";
}

struct Fault {
    const char* what;
    int status;
    int signal;  // sent to the recorder's process group, as a terminal's Ctrl-C is, mid-way
    bool smallDisk;
    std::vector<std::string> args;  // the output's path follows
    std::string line;               // what the one line on standard error says
    std::string ffmpeg = "";        // a stand-in's body; empty: the real one
    std::map<std::string, std::string> env = {};
};

// Each fault ends with its status and one line of the recorder's own (never ffmpeg's or the
// intro's), within a second of a signal, and leaves no output and no temporary behind.
TEST(RecordProcess, FaultsEndWithOneLineAndLeaveNothing) {
    const std::vector<std::string> video = {"--size=640x360", "--fps=30", "--seconds=4", "--out"};
    const std::vector<std::string> longVideo = {"--size=160x90", "--seconds=60", "--out"};
    const std::vector<std::string> frames = {"--size=640x360", "--fps=10", "--seconds=1",
                                             "--frames"};
    const std::map<std::string, std::string> noEgl = {
        {"__EGL_VENDOR_LIBRARY_FILENAMES", "/nonexistent.json"}};
    const std::vector<Fault> faults = {
        {"no ffmpeg", 1, 0, false, video, "cannot run ffmpeg", "", {{"PATH", "/nonexistent"}}},
        {"ffmpeg fails", 1, 0, false, video, "ffmpeg failed with exit status 3",
         "echo partial > \"$last\"\nexit 3\n"},
        {"ffmpeg claims success", 1, 0, false, video,
         "the video ffmpeg wrote is incomplete (expected 120 frames and sound)",
         "cat <&3 >/dev/null & cat >/dev/null\nwait\necho partial > \"$last\"\n"},
        {"full disk, video", 1, 0, true, video, "no space left on the device for the video"},
        {"full disk, frames", 1, 0, true, frames, "png: No space left on device"},
        {"no EGL display", 1, 0, false, frames, "(no surfaceless platform and no EGL device)", "",
         noEgl},
        {"GL without an entry point", 1, 0, false, frames, "the GL lacks glBindFramebufferEXT", "",
         test::withFault("no-fbo")},
        {"pixel buffer does not map", 1, 0, false, frames,
         "the GL could not map the pixel buffer of frame 0", "", test::withFault("no-map")},
        {"Ctrl-C", 130, SIGINT, false, longVideo, "interrupted by SIGINT; nothing written"},
        {"SIGTERM", 143, SIGTERM, false, longVideo, "terminated by SIGTERM; nothing written"},
    };
    const std::string top = test::makeTestDir("record-faults");
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.what);
        const std::string dir = top + "/" + std::to_string(&fault - faults.data());
        std::filesystem::create_directories(dir + "/out");
        const std::vector<std::string> mount = {
            "mount", "-t", "tmpfs", "-o", "size=256k", "tmpfs", dir + "/out"};  // we run as root
        EXPECT_TRUE(!fault.smallDisk || runProcess(mount).exitStatus == 0);
        std::map<std::string, std::string> env = kHeadless;
        if (!fault.ffmpeg.empty())
            env["PATH"] = fakeFfmpeg(dir, fault.ffmpeg);
        env.insert(fault.env.begin(), fault.env.end());
        // In a process group of its own, as a shell starts it.
        std::vector<std::string> args = {"/usr/bin/setsid", TW_RECORD_PATH};
        args.insert(args.end(), fault.args.begin(), fault.args.end());
        args.push_back(dir + "/out/clip.mp4");
        test::ChildProcess child(args, env);
        double sent = 0.0;
        if (fault.signal != 0) {
            // Once the temporary exists, so there is something to clean up.
            test::waitUntil(
                20, [&] { return !entries(dir + "/out").empty(); }, 0.05);
            sent = Timer::now();
            kill(-child.pid(), fault.signal);
        }
        const ProcessResult run = child.wait(120.0);
        EXPECT_TRUE(fault.signal == 0 || Timer::now() - sent < 1.0) << Timer::now() - sent << " s";
        EXPECT_EQ(run.exitStatus, fault.status) << run.err;
        std::string lines;  // standard error less the progress lines
        std::istringstream err(run.err);
        for (std::string line; std::getline(err, line);)
            lines += line.rfind("frame ", 0) == 0 ? "" : line + "\n";
        EXPECT_EQ(lines.rfind("tidewatch-record: ", 0), 0u) << lines;
        EXPECT_NE(lines.find(fault.line), std::string::npos) << lines;
        EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
        EXPECT_TRUE(entries(dir + "/out").empty());
        if (fault.smallDisk)
            runProcess({"umount", dir + "/out"});
    }
}

// Frames at 3, 20 and 30 s match the committed ones (llvmpipe's, bit for bit) within the scene
// references' tolerance and a level for the filters' rounding, with either scene program: the
// plain one, which a GL at the old minimums gets, leaves the mip level to other pixel blocks.
TEST(RecordReference, FramesMatchTheCommittedFramesWithEitherSceneProgram) {
    const std::string dir = test::makeTestDir("record-reference");
    const std::string reference = std::string(TW_SOURCE_DIR) + "/tests/record/reference/frame-";
    for (const bool lowLimits : {false, true}) {
        for (const int seconds : {3, 20, 30}) {
            const std::string at = std::to_string(seconds) + "s";
            const std::string name = (lowLimits ? "plain-" : "") + at;
            SCOPED_TRACE(name);
            test::Image expected;
            ASSERT_TRUE(test::readPng(reference + at + ".png", expected));
            EXPECT_TRUE(test::picturesAgree(
                test::recordFrame({TW_RECORD_PATH}, {}, lowLimits, seconds, dir + "/" + name),
                expected, 5, 0.02, "record-" + name));
        }
    }
}

}  // namespace
}  // namespace tw

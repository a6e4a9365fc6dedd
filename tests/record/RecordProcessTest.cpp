// The real tidewatch-record end to end, with no display and no sound server: what it writes, and
// what it says and leaves behind when the disk fills, ffmpeg misbehaves or a signal comes.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "audio/MusicRender.h"
#include "support/Process.h"

namespace tw {
namespace {

using test::ProcessResult;
using test::runProcess;

// No display, no Wayland, no reachable PulseAudio, no session runtime folder.
const std::map<std::string, std::string> kHeadless = {
    {"DISPLAY", ""},
    {"WAYLAND_DISPLAY", ""},
    {"XDG_RUNTIME_DIR", ""},
    {"PULSE_SERVER", "unix:/nonexistent/pulse"},
};

// Two seconds of 160x90 at 10 fps, from a moment where the scene and the music are under way.
std::vector<std::string> shortClip(const std::vector<std::string>& output) {
    std::vector<std::string> args = {TW_RECORD_PATH, "--size", "160x90",  "--fps", "10",
                                     "--seconds",    "2",      "--start", "12"};
    args.insert(args.end(), output.begin(), output.end());
    return args;
}

std::string readBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

std::vector<std::string> entries(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Decodes frame `index` of a video or picture to packed RGB.
std::string decodeRgb(const std::string& path, int index, const std::string& scratch) {
    runProcess({"ffmpeg", "-v", "error", "-y", "-i", path, "-vf",
                "select=eq(n\\," + std::to_string(index) + ")", "-frames:v", "1", "-f", "rawvideo",
                "-pix_fmt", "rgb24", scratch + "/decoded.rgb"});
    return readBytes(scratch + "/decoded.rgb");
}

double meanDifference(const std::string& a, const std::string& b) {
    double sum = 0.0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        sum += std::abs(static_cast<uint8_t>(a[i]) - static_cast<uint8_t>(b[i]));
    return a.empty() ? 0.0 : sum / static_cast<double>(a.size());
}

// A clip as video (through a symbolic link, which stays) and as pictures (read back both ways):
// the video has the requested streams and frame count, its frames stand upright like the
// pictures, both read-backs give the same bytes, and the WAV holds exactly the music from the
// start second on.
TEST(RecordProcess, VideoPicturesAndMusicAgree) {
    const std::string dir = test::makeTestDir("record-clip");
    std::filesystem::create_symlink("clip.mp4", dir + "/link.mp4");
    for (const auto& output : std::vector<std::vector<std::string>>{
             {"--out", dir + "/link.mp4"},
             {"--frames", dir + "/pbo"},
             {"--frames", dir + "/direct", "--readback", "direct"}}) {
        const ProcessResult run = runProcess(shortClip(output), kHeadless, 120.0);
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
    EXPECT_EQ(entries(dir + "/direct"), names);
    for (const std::string& name : names)
        EXPECT_EQ(readBytes(dir + "/pbo/" + name), readBytes(dir + "/direct/" + name)) << name;
    EXPECT_NE(readBytes(dir + "/pbo/frame-000000.png"), readBytes(dir + "/pbo/frame-000019.png"));

    const std::vector<int16_t> music = renderMusic(12.0, 2.0);
    const std::string wav = readBytes(dir + "/pbo/audio.wav");
    ASSERT_EQ(wav.size(), 44 + music.size() * 2);
    EXPECT_EQ(std::memcmp(wav.data() + 44, music.data(), music.size() * 2), 0);

    const std::string picture = decodeRgb(dir + "/pbo/frame-000010.png", 0, dir);
    const std::string video = decodeRgb(dir + "/clip.mp4", 10, dir);
    ASSERT_EQ(picture.size(), 160u * 90 * 3);
    std::string flipped;
    for (int y = 89; y >= 0; --y)
        flipped += picture.substr(static_cast<size_t>(y) * 160 * 3, 160 * 3);
    EXPECT_LT(meanDifference(video, picture), 4.0);
    EXPECT_LT(meanDifference(video, picture) * 3.0, meanDifference(video, flipped));
}

// A folder on a file system of 256 KiB for as long as the object lives (the tests run as root).
class SmallDisk {
  public:
    explicit SmallDisk(const std::string& path) : path(path) {
        mounted =
            !path.empty() &&
            runProcess({"mount", "-t", "tmpfs", "-o", "size=256k", "tmpfs", path}).exitStatus == 0;
    }
    ~SmallDisk() {
        if (mounted)
            runProcess({"umount", path});
    }
    const std::string path;
    bool mounted = false;
};

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

// Each fault ends with its status and one line of the recorder's own (ffmpeg's words hidden),
// within a second of a signal, and leaves no output and no temporary behind.
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
        {"Ctrl-C", 130, SIGINT, false, longVideo, "interrupted by SIGINT; nothing written"},
        {"SIGTERM", 143, SIGTERM, false, longVideo, "terminated by SIGTERM; nothing written"},
    };
    const std::string top = test::makeTestDir("record-faults");
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.what);
        const std::string dir = top + "/" + std::to_string(&fault - faults.data());
        std::filesystem::create_directories(dir + "/out");
        const SmallDisk disk(fault.smallDisk ? dir + "/out" : "");
        ASSERT_EQ(disk.mounted, fault.smallDisk);
        std::map<std::string, std::string> env = kHeadless;
        if (!fault.ffmpeg.empty())
            env["PATH"] = fakeFfmpeg(dir, fault.ffmpeg);
        env.insert(fault.env.begin(), fault.env.end());
        // In a process group of its own, as a shell starts it.
        std::vector<std::string> args = {"/usr/bin/setsid", TW_RECORD_PATH};
        args.insert(args.end(), fault.args.begin(), fault.args.end());
        args.push_back(dir + "/out/clip.mp4");
        test::ChildProcess child(args, env);
        auto sent = std::chrono::steady_clock::now();
        if (fault.signal != 0) {
            // Once the temporary exists, so there is something to clean up.
            for (int i = 0; i < 400 && entries(dir + "/out").empty(); ++i)
                usleep(50000);
            sent = std::chrono::steady_clock::now();
            kill(-child.pid(), fault.signal);
        }
        const ProcessResult run = child.wait(120.0);
        const std::chrono::duration<double> ending = std::chrono::steady_clock::now() - sent;
        EXPECT_TRUE(fault.signal == 0 || ending.count() < 1.0) << ending.count() << " s";
        EXPECT_EQ(run.exitStatus, fault.status) << run.err;
        std::string lines;  // standard error less the progress lines
        std::istringstream err(run.err);
        for (std::string line; std::getline(err, line);)
            lines += line.rfind("frame ", 0) == 0 ? "" : line + "\n";
        EXPECT_EQ(lines.rfind("tidewatch-record: ", 0), 0u) << lines;
        EXPECT_NE(lines.find(fault.line), std::string::npos) << lines;
        EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 1) << lines;
        EXPECT_TRUE(entries(dir + "/out").empty());
    }
}

}  // namespace
}  // namespace tw

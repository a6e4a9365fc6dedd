// The real tidewatch-record end to end: with no display and no sound server, what it writes and
// what it leaves behind when it refuses or fails.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/Process.h"

namespace tw {
namespace {

using test::makeTestDir;
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
const std::vector<std::string> kShortClip = {"--size",    "160x90", "--fps",   "10",
                                             "--seconds", "2",      "--start", "12"};

ProcessResult record(std::vector<std::string> args,
                     std::map<std::string, std::string> env = kHeadless, double seconds = 120.0) {
    args.insert(args.begin(), TW_RECORD_PATH);
    return runProcess(args, env, seconds);
}

std::vector<std::string> with(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
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

// ffprobe's view of each stream as key=value fields.
std::vector<std::map<std::string, std::string>> probeStreams(const std::string& path) {
    const ProcessResult probe =
        runProcess({"ffprobe", "-v", "error", "-count_frames", "-show_entries",
                    "stream=codec_type,codec_name,width,height,pix_fmt,r_frame_rate,nb_read_frames,"
                    "channels,sample_rate",
                    "-of", "compact=p=0", path});
    std::vector<std::map<std::string, std::string>> streams;
    std::istringstream lines(probe.out);
    std::string line;
    while (std::getline(lines, line)) {
        std::map<std::string, std::string> fields;
        std::istringstream parts(line);
        std::string part;
        while (std::getline(parts, part, '|')) {
            const size_t equals = part.find('=');
            if (equals != std::string::npos)
                fields[part.substr(0, equals)] = part.substr(equals + 1);
        }
        streams.push_back(fields);
    }
    return streams;
}

// Decodes one picture (a PNG, or frame `index` of a video) to packed RGB through ffmpeg.
std::string decodeRgb(const std::string& path, int index, const std::string& scratch) {
    const std::string out = scratch + "/decoded.rgb";
    runProcess({"ffmpeg", "-v", "error", "-y", "-i", path, "-vf",
                "select=eq(n\\," + std::to_string(index) + ")", "-frames:v", "1", "-f", "rawvideo",
                "-pix_fmt", "rgb24", out});
    return readBytes(out);
}

double meanDifference(const std::string& a, const std::string& b) {
    double sum = 0.0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        sum += std::abs(static_cast<int>(static_cast<uint8_t>(a[i])) -
                        static_cast<int>(static_cast<uint8_t>(b[i])));
    return a.empty() ? 0.0 : sum / static_cast<double>(a.size());
}

std::string flipRows(const std::string& rgb, int width, int height) {
    std::string flipped(rgb.size(), '\0');
    const size_t row = static_cast<size_t>(width) * 3;
    for (int y = 0; y < height; ++y)
        flipped.replace(static_cast<size_t>(y) * row, row, rgb, (height - 1 - y) * row, row);
    return flipped;
}

// A two-second clip has one H.264 stream of the requested size, frame count and rate, one AAC
// stream of 2 channels at 44100 Hz with audible music, and nothing else is left in the folder.
TEST(RecordProcess, ShortClipHasRequestedStreamsAndSound) {
    const std::string dir = makeTestDir("record-clip");
    const ProcessResult run = record(with(kShortClip, {"--out", dir + "/clip.mp4"}));
    ASSERT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(entries(dir), std::vector<std::string>{"clip.mp4"});

    const auto streams = probeStreams(dir + "/clip.mp4");
    ASSERT_EQ(streams.size(), 2u);
    const auto& video = streams[0].at("codec_type") == "video" ? streams[0] : streams[1];
    const auto& audio = streams[0].at("codec_type") == "video" ? streams[1] : streams[0];
    EXPECT_EQ(video.at("codec_name"), "h264");
    EXPECT_EQ(video.at("width"), "160");
    EXPECT_EQ(video.at("height"), "90");
    EXPECT_EQ(video.at("pix_fmt"), "yuv420p");
    EXPECT_EQ(video.at("r_frame_rate"), "10/1");
    EXPECT_EQ(video.at("nb_read_frames"), "20");
    EXPECT_EQ(audio.at("codec_type"), "audio");
    EXPECT_EQ(audio.at("codec_name"), "aac");
    EXPECT_EQ(audio.at("channels"), "2");
    EXPECT_EQ(audio.at("sample_rate"), "44100");

    const std::string raw = dir + "/audio.raw";
    runProcess({"ffmpeg", "-v", "error", "-i", dir + "/clip.mp4", "-map", "0:a", "-f", "s16le",
                "-ac", "2", "-ar", "44100", raw});
    const std::string pcm = readBytes(raw);
    ASSERT_GE(pcm.size(), 2u * 44100 * 4 * 9 / 10);
    double energy = 0.0;
    for (size_t i = 0; i + 1 < pcm.size(); i += 2) {
        const double sample = static_cast<int16_t>(static_cast<uint8_t>(pcm[i]) |
                                                   static_cast<uint8_t>(pcm[i + 1]) << 8);
        energy += sample * sample;
    }
    const double rms = std::sqrt(energy / static_cast<double>(pcm.size() / 2));
    EXPECT_GT(rms, 300.0) << "the music is (nearly) silent";
}

// The same arguments give byte-identical pictures and music, and so does reading back directly
// instead of through the pixel-buffer pair (whose frames arrive one call late); the pictures
// change over time.
TEST(RecordProcess, RepeatedRecordingsGiveIdenticalFrames) {
    const std::string dir = makeTestDir("record-repeat");
    const std::vector<std::pair<std::string, std::vector<std::string>>> runs = {
        {"/first", {}}, {"/second", {}}, {"/direct", {"--readback", "direct"}}};
    for (const auto& [name, extra] : runs) {
        const ProcessResult run = record(with(with(kShortClip, extra), {"--frames", dir + name}));
        ASSERT_EQ(run.exitStatus, 0) << run.err;
    }
    const std::vector<std::string> names = entries(dir + "/first");
    ASSERT_EQ(names.size(), 21u);  // 20 frames and the music
    EXPECT_EQ(names.front(), "audio.wav");
    EXPECT_EQ(names.back(), "frame-000019.png");
    for (const char* other : {"/second", "/direct"}) {
        ASSERT_EQ(entries(dir + other), names) << other;
        for (const std::string& name : names) {
            const std::string first = readBytes(dir + "/first/" + name);
            EXPECT_FALSE(first.empty()) << name;
            EXPECT_EQ(first, readBytes(dir + other + "/" + name)) << other << "/" << name;
        }
    }
    EXPECT_NE(readBytes(dir + "/first/frame-000000.png"),
              readBytes(dir + "/first/frame-000019.png"));
}

// The video's frame matches the picture written for the same moment, right way up (and not
// its mirror image), within what H.264 at high quality changes.
TEST(RecordProcess, VideoFramesStandUpright) {
    const std::string dir = makeTestDir("record-upright");
    ASSERT_EQ(record(with(kShortClip, {"--out", dir + "/clip.mp4"})).exitStatus, 0);
    ASSERT_EQ(record(with(kShortClip, {"--frames", dir + "/frames"})).exitStatus, 0);
    const std::string picture = decodeRgb(dir + "/frames/frame-000010.png", 0, dir);
    const std::string video = decodeRgb(dir + "/clip.mp4", 10, dir);
    ASSERT_EQ(picture.size(), 160u * 90 * 3);
    ASSERT_EQ(video.size(), picture.size());
    const double upright = meanDifference(video, picture);
    const double flipped = meanDifference(video, flipRows(picture, 160, 90));
    EXPECT_LT(upright, 4.0);
    EXPECT_LT(upright * 3.0, flipped) << "upright " << upright << ", flipped " << flipped;
}

// Each bad command line: one line naming the fault on standard error, status 2, no file.
TEST(RecordProcess, BadInputExitsWithStatusTwoAndLeavesNothing) {
    const std::string dir = makeTestDir("record-bad-input");
    const std::string out = dir + "/clip.mp4";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--out", out, "--colour"}, "unknown option '--colour'"},
        {{"--out", out, "--size", "640by360"}, "bad --size '640by360'"},
        {{"--out", out, "--size", "0x360"}, "bad --size '0x360'"},
        {{"--out", out, "--size", "641x360"}, "even width and height"},
        {{"--out", out, "--size", "40000x40000"}, "the GL renders at most"},
        {{"--out", out, "--fps", "0"}, "bad --fps '0'"},
        {{"--out", out, "--seconds", "-2"}, "bad --seconds '-2'"},
        {{"--out", dir + "/missing/clip.mp4"}, "output folder '" + dir + "/missing' does not"},
        {{"--frames", dir + "/missing/frames"}, "does not exist"},
    };
    for (const auto& [args, message] : cases) {
        const ProcessResult run = record(args);
        EXPECT_EQ(run.exitStatus, 2) << message;
        EXPECT_EQ(run.err.rfind("tidewatch-record: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_TRUE(entries(dir).empty()) << message;
    }
}

// Without ffmpeg on PATH the recorder says so, fails, and writes nothing.
TEST(RecordProcess, MissingEncoderFailsAndLeavesNothing) {
    const std::string dir = makeTestDir("record-no-ffmpeg");
    std::filesystem::create_directory(dir + "/empty-bin");
    std::map<std::string, std::string> env = kHeadless;
    env["PATH"] = dir + "/empty-bin";
    const ProcessResult run = record(with(kShortClip, {"--out", dir + "/clip.mp4"}), env);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("cannot run ffmpeg"), std::string::npos) << run.err;
    EXPECT_EQ(entries(dir), std::vector<std::string>{"empty-bin"});
}

// An encoder that fails part-way (here after writing some output): non-zero status, its exit
// status named, and neither the output nor any temporary left.
TEST(RecordProcess, FailingEncoderLeavesNoHalfWrittenFile) {
    const std::string dir = makeTestDir("record-bad-ffmpeg");
    const std::string bin = dir + "/bin";
    std::filesystem::create_directory(bin);
    std::ofstream(bin + "/ffmpeg") << "#!/bin/sh\n"
                                      "for last; do :; done\n"
                                      "echo partial > \"$last\"\n"
                                      "head -c 100000 > /dev/null\n"
                                      "exit 3\n";
    chmod((bin + "/ffmpeg").c_str(), 0755);
    std::map<std::string, std::string> env = kHeadless;
    env["PATH"] = bin + ":/usr/bin:/bin";
    const ProcessResult run = record(with(kShortClip, {"--out", dir + "/clip.mp4"}), env);
    EXPECT_EQ(run.exitStatus, 1);
    EXPECT_NE(run.err.find("ffmpeg failed with exit status 3"), std::string::npos) << run.err;
    EXPECT_EQ(entries(dir), std::vector<std::string>{"bin"});
}

// Stopped by SIGTERM part-way: status 130 and nothing left, not even the temporaries.
TEST(RecordProcess, InterruptedRecordingLeavesNothing) {
    const std::string dir = makeTestDir("record-interrupted");
    test::ChildProcess child(
        {TW_RECORD_PATH, "--size", "160x90", "--seconds", "60", "--out", dir + "/clip.mp4"},
        kHeadless);
    // Wait until frames flow, so the temporaries exist when the signal comes.
    for (int i = 0; i < 200 && entries(dir).size() < 2; ++i)
        usleep(50000);
    EXPECT_EQ(entries(dir).size(), 2u) << "no temporaries seen while recording";
    child.sendSignal(SIGTERM);
    const ProcessResult run = child.wait(30.0);
    EXPECT_EQ(run.exitStatus, 130) << run.err;
    EXPECT_TRUE(entries(dir).empty());
}

// --help describes every option; --version names the program and its version.
TEST(RecordProcess, HelpAndVersion) {
    const ProcessResult help = record({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    for (const char* option : {"--out", "--size", "--fps", "--seconds", "--start", "--frames"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    const ProcessResult version = record({"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, std::string("tidewatch-record ") + TW_PROJECT_VERSION + "\n");
}

}  // namespace
}  // namespace tw

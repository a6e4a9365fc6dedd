// The recorder's command line and output checks, as pure functions.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Progress.h"
#include "RecordOptions.h"
#include "support/Process.h"

namespace tw {
namespace {

ParsedOptions parse(std::vector<std::string> args) {
    args.insert(args.begin(), "tidewatch-record");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    return parseRecordOptions(static_cast<int>(args.size()), argv.data());
}

// No options: a 1280x720 video at 60 fps of one pass through the song, from the start.
TEST(RecordOptions, DefaultsRecordTheWholeSongAt720p60) {
    const ParsedOptions parsed = parse({});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.out, "tidewatch.mp4");
    EXPECT_EQ(parsed.options.width, 1280);
    EXPECT_EQ(parsed.options.height, 720);
    EXPECT_EQ(parsed.options.fps, 60);
    EXPECT_LT(parsed.options.seconds, 0.0);
    EXPECT_EQ(parsed.options.start, 0.0);
    EXPECT_TRUE(parsed.options.framesDir.empty());
    EXPECT_EQ(frameCount(parsed.options, 100.0), 6000);
}

// Every option lands in its field, in either spelling of a long option's value.
TEST(RecordOptions, EveryOptionIsParsed) {
    const ParsedOptions parsed =
        parse({"--out", "a/b.mp4", "--size=160x90", "--fps", "10", "--seconds", "2.5",
               "--start=7.25", "--stats", "--readback", "direct"});
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.out, "a/b.mp4");
    EXPECT_EQ(parsed.options.width, 160);
    EXPECT_EQ(parsed.options.height, 90);
    EXPECT_EQ(parsed.options.fps, 10);
    EXPECT_DOUBLE_EQ(parsed.options.seconds, 2.5);
    EXPECT_DOUBLE_EQ(parsed.options.start, 7.25);
    EXPECT_TRUE(parsed.options.stats);
    EXPECT_FALSE(parsed.options.pixelBuffers);
    EXPECT_EQ(frameCount(parsed.options, 100.0), 25);
}

// Each bad command line gives one line naming what is wrong.
TEST(RecordOptions, BadCommandLinesAreRejectedWithTheirReason) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"-x"}, "unknown option '-x'"},
        {{"--size"}, "option '--size' needs a value"},
        {{"stray"}, "unexpected argument 'stray'"},
        {{"--size", "640"}, "bad --size '640'"},
        {{"--size", "640x"}, "bad --size '640x'"},
        {{"--size", "0x360"}, "bad --size '0x360'"},
        {{"--size", "-640x360"}, "bad --size '-640x360'"},
        {{"--size", "640x360x2"}, "bad --size '640x360x2'"},
        {{"--size", "99999999999x2"}, "bad --size '99999999999x2'"},
        {{"--size", "161x90"}, "needs an even width and height"},
        {{"--fps", "0"}, "bad --fps '0'"},
        {{"--fps", "-5"}, "bad --fps '-5'"},
        {{"--fps", "2.5"}, "bad --fps '2.5'"},
        {{"--seconds", "0"}, "bad --seconds '0'"},
        {{"--seconds", "-1"}, "bad --seconds '-1'"},
        {{"--seconds", "nan"}, "bad --seconds 'nan'"},
        {{"--start", "-0.5"}, "bad --start '-0.5'"},
        {{"--readback", "fast"}, "bad --readback 'fast'"},
    };
    for (const auto& [args, expected] : cases) {
        const ParsedOptions parsed = parse(args);
        EXPECT_NE(parsed.error.find(expected), std::string::npos)
            << args.front() << ": got \"" << parsed.error << "\"";
        EXPECT_EQ(parsed.error.find('\n'), std::string::npos);
    }
}

// Pictures have no chroma subsampling, so any size goes with --frames; the folder loses any
// trailing slash, so it can be renamed into place.
TEST(RecordOptions, OddSizeIsAcceptedForFrames) {
    const ParsedOptions parsed = parse({"--size", "161x91", "--frames", "out//"});
    EXPECT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.options.width, 161);
    EXPECT_EQ(parsed.options.framesDir, "out");
}

// The GL's limit applies to either side.
TEST(RecordOptions, SizeLimitChecksBothSides) {
    RecordOptions options;
    options.width = 4096;
    options.height = 2048;
    EXPECT_EQ(checkSizeLimit(options, 4096), "");
    EXPECT_NE(checkSizeLimit(options, 4095).find("at most 4095 pixels"), std::string::npos);
    options.width = 2;
    options.height = 5000;
    EXPECT_NE(checkSizeLimit(options, 4096), "");
}

// A short duration still records one frame; the count is rounded, not truncated.
TEST(RecordOptions, FrameCountRoundsAndNeverDropsToZero) {
    RecordOptions options;
    options.fps = 10;
    options.seconds = 0.01;
    EXPECT_EQ(frameCount(options, 100.0), 1);
    options.seconds = 2.06;
    EXPECT_EQ(frameCount(options, 100.0), 21);
    options.seconds = -1.0;
    EXPECT_EQ(frameCount(options, 12.34), 123);
}

// Video: its folder must exist and the name must not be a folder; frames: the parent must
// exist and the folder must be missing or empty.
TEST(RecordOptions, OutputPlaceIsChecked) {
    const std::string dir = test::makeTestDir("record-options-place");
    RecordOptions options;
    options.out = dir + "/clip.mp4";
    EXPECT_EQ(checkOutputPlace(options), "");
    options.out = dir + "/missing/clip.mp4";
    EXPECT_NE(checkOutputPlace(options).find("does not exist"), std::string::npos);
    options.out = dir;
    EXPECT_NE(checkOutputPlace(options).find("is a folder"), std::string::npos);

    options.framesDir = dir + "/frames";
    EXPECT_EQ(checkOutputPlace(options), "");
    std::filesystem::create_directory(options.framesDir);
    EXPECT_EQ(checkOutputPlace(options), "");
    std::ofstream(options.framesDir + "/old.png") << "x";
    EXPECT_NE(checkOutputPlace(options).find("not an empty folder"), std::string::npos);
    options.framesDir = dir + "/missing/frames";
    EXPECT_NE(checkOutputPlace(options).find("does not exist"), std::string::npos);
}

// The progress line: counts, percent, speed and the time left, then the total time at the end.
TEST(RecordProgress, LineShowsCountsSpeedAndTimeLeft) {
    EXPECT_EQ(Progress::line(120, 1200, 10.0), "frame 120/1200 (10%), 12.0 fps, 1:30 left");
    EXPECT_EQ(Progress::line(1200, 1200, 3725.0),
              "frame 1200/1200 (100%), 0.3 fps, 1:02:05 in all");
    EXPECT_EQ(Progress::line(0, 10, 0.0), "frame 0/10 (0%), 0.0 fps");
}

}  // namespace
}  // namespace tw

// The recorder's command line, end to end: what it accepts, and every bad line refused before
// any work with one line naming the fault and the real limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/Process.h"

namespace tw {
namespace {

test::ProcessResult record(std::vector<std::string> args) {
    args.insert(args.begin(), TW_RECORD_PATH);
    return test::runProcess(args, {{"DISPLAY", ""}}, 60.0);
}

// Each bad line: status 2 within seconds, one line "tidewatch-record: ..." with the reason,
// nothing on standard output and nothing written.
TEST(RecordOptions, BadLinesAreRefusedWithOneLineAndNothingWritten) {
    const std::string dir = test::makeTestDir("record-bad-lines");
    const std::string out = dir + "/clip.mp4";
    const std::string frames = dir + "/frames";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--out", out, "--colour"}, "unknown option '--colour'"},
        {{"--out", out, "--size"}, "option '--size' needs a value"},
        {{"--out", out, "stray"}, "unexpected argument 'stray'"},
        {{"--out", out, "--size", "640by360"}, "bad --size '640by360': expected WIDTHxHEIGHT"},
        {{"--out", out, "--size", "0x360"}, "'0x360': each side needs at least 1 pixel"},
        {{"--out", out, "--size", "641x360"}, "'641x360': the video needs an even width"},
        {{"--out", out, "--size", "100000x100000"}, "'100000x100000': the GL renders at most"},
        {{"--out", out, "--size", "99999999999999999999x2"}, "the GL renders at most"},
        {{"--out", out, "--fps", "0"}, "bad --fps '0': expected a whole number from 1 to 240"},
        {{"--out", out, "--fps", "241"}, "bad --fps '241': expected a whole number from 1 to 240"},
        {{"--out", out, "--fps", "2.5"}, "bad --fps '2.5'"},
        {{"--out", out, "--seconds", "0"},
         "bad --seconds '0': expected more than 0 and at most 86400"},
        {{"--out", out, "--seconds", "1e6"}, "bad --seconds '1e6': expected more than 0 and at"},
        {{"--out", out, "--seconds", "1e18"}, "bad --seconds '1e18'"},
        {{"--out", out, "--seconds", "nan"}, "bad --seconds 'nan'"},
        {{"--out", out, "--start", "-0.5"}, "bad --start '-0.5': expected 0 to 86400 seconds"},
        {{"--out", out, "--start", "1e12"}, "bad --start '1e12'"},
        {{"--out", out, "--readback", "fast"}, "bad --readback 'fast': expected pbo or direct"},
        {{"--out", "-"}, "--out - is not possible: an MP4 needs a file it can seek in"},
        {{"--frames", frames, "--out", out}, "--frames and --out exclude each other"},
        {{"--frames", frames, "--seconds", "30000"}, "with --frames at most 21600"},
        {{"--out", dir + "/missing/clip.mp4"}, "output folder '" + dir + "/missing' does not"},
        {{"--frames", dir + "/missing/frames"}, "folder '" + dir + "/missing' for --frames does"},
        {{"--out", dir}, "--out '" + dir + "' is a folder"},
    };
    for (const auto& [args, message] : cases) {
        const test::ProcessResult run = record(args);
        EXPECT_EQ(run.exitStatus, 2) << message;
        EXPECT_LT(run.seconds, 10.0) << message;
        EXPECT_EQ(run.err.rfind("tidewatch-record: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_EQ(run.out, "") << message;
        EXPECT_TRUE(std::filesystem::is_empty(dir)) << message;
    }
}

// --help names every option and the limits; --version the program and its version; a one-frame
// recording says so in the singular.
TEST(RecordOptions, HelpVersionAndWhatWasWritten) {
    const test::ProcessResult help = record({"--help"});
    EXPECT_EQ(help.exitStatus, 0);
    for (const char* text : {"--out", "--size", "--fps", "--seconds", "--start", "--frames",
                             "--stats", "--readback", "1 to 240", "86400", "21600", "143"})
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
    const test::ProcessResult version = record({"--version"});
    EXPECT_EQ(version.exitStatus, 0);
    EXPECT_EQ(version.out, std::string("tidewatch-record ") + TW_PROJECT_VERSION + "\n");

    const std::string one = test::makeTestDir("record-one-frame") + "/one";
    const test::ProcessResult run =
        record({"--size", "64x36", "--fps", "1", "--seconds", "1", "--frames", one});
    EXPECT_EQ(run.exitStatus, 0) << run.err;
    EXPECT_EQ(run.out, "wrote " + one + " (1 frame at 1 fps, 64x36)\n");
}

}  // namespace
}  // namespace tw

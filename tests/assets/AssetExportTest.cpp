// tidewatch-assets: exports the embedded assets byte for byte, takes --help and --version, refuses
// any other option with status 2, and leaves nothing behind unless every file was written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "assets/ImageRecord.h"
#include "assets/ScrollMessage.h"
#include "audio/MusicModule.h"
#include "audio/MusicRender.h"
#include "support/Process.h"

namespace {

using tw::test::readFile;
using tw::test::runProcess;

std::string bytes(const void* data, size_t size) {
    return std::string(static_cast<const char*>(data), size);
}

// Records, message and module are the embedded bytes, music.wav a 16-bit stereo 44100 Hz WAV as
// long as one pass (its sound is the renderer's, tested there). A second export replaces the files.
TEST(AssetExport, WritesTheEmbeddedAssets) {
    const std::string dir = tw::test::makeTestDir("asset-export") + "/out";
    for (int run = 0; run < 2; ++run)
        ASSERT_EQ(runProcess({TW_ASSETS_TOOL, dir}, {}, 120).exitStatus, 0);
    for (const auto& [name, record] :
         {std::pair{"logo", tw::logoRecord()}, std::pair{"font", tw::fontRecord()},
          std::pair{"fbm", tw::fbmRecord()}})
        EXPECT_EQ(readFile(dir + "/" + name + ".rec"), bytes(record.bytes(), record.byteCount()));
    EXPECT_EQ(readFile(dir + "/message.txt"), std::string(tw::scrollMessage) + "\n");
    const tw::MusicModule module = tw::musicModule();
    EXPECT_EQ(readFile(dir + "/music.xm"), bytes(module.data, module.size));
    const std::string wav = readFile(dir + "/music.wav");
    EXPECT_EQ(wav.size(), 44 + 4 * std::llround(tw::musicSongSeconds() * 44100));
    EXPECT_EQ(wav.substr(8, 20), bytes("WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0", 20));
}

// Each command line gets its status and, on refusal or failure, one line; only a run that
// succeeded leaves anything behind (here on a file system too small for the music).
TEST(AssetExport, CommandLinesAndFailuresLeaveNothing) {
    const std::string top = tw::test::makeTestDir("asset-export-lines");
    std::ofstream(top + "/plain") << "not a folder";
    const std::string disk = top + "/disk";
    std::filesystem::create_directory(disk);
    ASSERT_EQ(runProcess({"mount", "-t", "tmpfs", "-o", "size=256k", "tmpfs", disk}).exitStatus, 0);
    const std::vector<std::tuple<std::vector<std::string>, int, std::string>> cases = {
        {{"--help"}, 0, "Usage: tidewatch-assets [OPTION]... DIR\n"},
        {{"--version"}, 0, std::string("tidewatch-assets ") + TW_PROJECT_VERSION + "\n"},
        {{"--bogus"}, 2, "unknown option '--bogus' (see --help)"},
        {{}, 2, "expected one folder name"},
        {{top + "/plain"}, 1, top + "/plain exists and is not a folder"},
        {{top + "/no/such/folder"}, 1, "cannot create " + top + "/no/such/folder: No such"},
        {{disk + "/out"}, 1, "No space left on device"},
    };
    for (const auto& [args, status, text] : cases) {
        std::vector<std::string> argv = args;
        argv.insert(argv.begin(), TW_ASSETS_TOOL);
        const auto result = runProcess(argv, {}, 120);
        EXPECT_EQ(result.exitStatus, status) << result.err;
        if (status == 0) {
            EXPECT_EQ(result.out.substr(0, text.size()), text);
        } else {
            EXPECT_EQ(result.err.rfind("tidewatch-assets: ", 0), 0u) << result.err;
            EXPECT_NE(result.err.find(text), std::string::npos) << result.err;
            EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        }
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(top), {}), 2) << text;
        EXPECT_TRUE(std::filesystem::is_empty(disk)) << text;
    }
    runProcess({"umount", disk});
}

}  // namespace

// tidewatch-assets: exports the embedded assets byte for byte, takes --help and --version, refuses
// any other option with status 2, and leaves nothing behind unless every file was written.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "assets/ImageRecord.h"
#include "assets/ScrollMessage.h"
#include "audio/MusicModule.h"
#include "audio/MusicRender.h"
#include "support/Process.h"

namespace {

using tw::test::runProcess;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

std::string recordBytes(const tw::ImageRecord& record) {
    return std::string(reinterpret_cast<const char*>(record.bytes()), record.byteCount());
}

// The records, the message and the module are the embedded bytes; the pictures are PNG files;
// music.wav is a 16-bit stereo 44100 Hz WAV of exactly one pass as rendered. A second export into
// the same folder replaces the files.
TEST(AssetExport, WritesTheEmbeddedAssets) {
    const std::string dir = tw::test::makeTestDir("asset-export") + "/out";
    for (int run = 0; run < 2; ++run) {
        const auto result = runProcess({TW_ASSETS_TOOL, dir}, {}, 120);
        ASSERT_EQ(result.exitStatus, 0) << result.err;
    }
    EXPECT_EQ(readFile(dir + "/logo.rec"), recordBytes(tw::logoRecord()));
    EXPECT_EQ(readFile(dir + "/font.rec"), recordBytes(tw::fontRecord()));
    EXPECT_EQ(readFile(dir + "/fbm.rec"), recordBytes(tw::fbmRecord()));
    for (const char* png : {"/logo.png", "/font.png", "/fbm.png"})
        EXPECT_EQ(readFile(dir + png).substr(1, 3), "PNG") << png;
    EXPECT_EQ(readFile(dir + "/message.txt"), std::string(tw::scrollMessage) + "\n");
    const tw::MusicModule module = tw::musicModule();
    EXPECT_EQ(readFile(dir + "/music.xm"),
              std::string(reinterpret_cast<const char*>(module.data), module.size));

    const std::string wav = readFile(dir + "/music.wav");
    const std::vector<int16_t> pass = tw::renderMusic(0.0, tw::musicSongSeconds());
    ASSERT_EQ(wav.size(), 44 + pass.size() * 2);
    const char header[] = "RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x01\0\x02\0\x44\xac\0\0";
    EXPECT_EQ(wav.substr(8, 20), std::string(header + 8, 20));
    EXPECT_EQ(std::memcmp(wav.data() + 44, pass.data(), pass.size() * 2), 0);
}

// Each command line gets its status and, on refusal or failure, one line; only a run that
// succeeded leaves anything in the folder.
TEST(AssetExport, CommandLinesAndFailuresLeaveNothing) {
    const std::string top = tw::test::makeTestDir("asset-export-lines");
    std::ofstream(top + "/plain") << "not a folder";
    const std::string disk = top + "/disk";
    std::filesystem::create_directory(disk);
    ASSERT_EQ(runProcess({"mount", "-t", "tmpfs", "-o", "size=256k", "tmpfs", disk}).exitStatus, 0);
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string err;
    };
    const std::vector<Case> cases = {
        {{"--help"}, 0, "Usage: tidewatch-assets [OPTION]... DIR\n", ""},
        {{"-h"}, 0, "Usage: tidewatch-assets [OPTION]... DIR\n", ""},
        {{"--version"}, 0, std::string("tidewatch-assets ") + TW_PROJECT_VERSION + "\n", ""},
        {{"--bogus"}, 2, "", "unknown option '--bogus' (see --help)"},
        {{}, 2, "", "expected one folder name"},
        {{top + "/a", top + "/b"}, 2, "", "expected one folder name"},
        {{top + "/plain"}, 1, "", top + "/plain exists and is not a folder"},
        {{top + "/no/such/folder"}, 1, "", "cannot create " + top + "/no/such/folder: No such"},
        {{disk + "/out"}, 1, "", "No space left on device"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = c.args;
        args.insert(args.begin(), TW_ASSETS_TOOL);
        const auto result = runProcess(args, {}, 120);
        EXPECT_EQ(result.exitStatus, c.status) << result.err;
        EXPECT_EQ(result.out.substr(0, c.out.size()), c.out);
        if (!c.err.empty()) {
            EXPECT_EQ(result.err.rfind("tidewatch-assets: ", 0), 0u) << result.err;
            EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
            EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
        }
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(top))
            left.push_back(entry.path().filename().string());
        std::sort(left.begin(), left.end());
        EXPECT_EQ(left, (std::vector<std::string>{"disk", "plain"})) << args.back();
        EXPECT_TRUE(std::filesystem::is_empty(disk));
    }
    runProcess({"umount", disk});
}

}  // namespace

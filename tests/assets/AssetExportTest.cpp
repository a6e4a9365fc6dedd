// tidewatch-assets: exports the embedded assets byte for byte and refuses bad output folders.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "assets/ImageRecord.h"
#include "assets/ScrollMessage.h"
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

TEST(AssetExport, WritesTheEmbeddedRecordsPicturesAndMessage) {
    const std::string dir = tw::test::makeTestDir("asset-export");
    const auto result = runProcess({TW_ASSETS_TOOL, dir});
    ASSERT_TRUE(result.exited);
    ASSERT_EQ(result.exitStatus, 0) << result.err;
    EXPECT_EQ(readFile(dir + "/logo.rec"), recordBytes(tw::logoRecord()));
    EXPECT_EQ(readFile(dir + "/font.rec"), recordBytes(tw::fontRecord()));
    EXPECT_EQ(readFile(dir + "/fbm.rec"), recordBytes(tw::fbmRecord()));
    for (const char* png : {"/logo.png", "/font.png", "/fbm.png"})
        EXPECT_EQ(readFile(dir + png).substr(1, 3), "PNG") << png;
    EXPECT_EQ(readFile(dir + "/message.txt"), std::string(tw::scrollMessage) + "\n");
}

TEST(AssetExport, RejectsAMissingArgument) {
    const auto result = runProcess({TW_ASSETS_TOOL});
    ASSERT_TRUE(result.exited);
    EXPECT_NE(result.exitStatus, 0);
    EXPECT_NE(result.err.find("usage: tidewatch-assets DIR"), std::string::npos);
}

TEST(AssetExport, RefusesAnOrdinaryFileAsFolder) {
    const std::string file = tw::test::makeTestDir("asset-export-file") + "/plain";
    std::ofstream(file) << "not a folder";
    const auto result = runProcess({TW_ASSETS_TOOL, file});
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("is not a writable directory"), std::string::npos) << result.err;
    EXPECT_EQ(readFile(file), "not a folder");
}

TEST(AssetExport, RefusesAFolderWhoseParentIsMissing) {
    const std::string dir = tw::test::makeTestDir("asset-export-parent") + "/no/such/folder";
    const auto result = runProcess({TW_ASSETS_TOOL, dir});
    ASSERT_TRUE(result.exited);
    EXPECT_EQ(result.exitStatus, 1);
    EXPECT_NE(result.err.find("cannot create"), std::string::npos) << result.err;
}

}  // namespace

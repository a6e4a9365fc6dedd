// The extension table: its fixed layout and the look-up that stops at the first missing name.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gl/GlExtensionTable.h"

namespace tw {
namespace {

std::vector<std::string> asked;
std::string missing;

// Answers every name with a distinct fake address, except `missing`.
void* fakeResolver(const char* name) {
    asked.emplace_back(name);
    if (missing == name)
        return nullptr;
    return reinterpret_cast<void*>(0x1000 + asked.size());
}

// Names sit in 29-byte zero-padded slots; the longest name fills its slot but the terminator.
TEST(GlExtensionTable, SlotsAreTwentyNineBytesWide) {
    EXPECT_EQ(sizeof(GlExtensionTable), 35u * 29u);
    const char* first = GlExtensionTable[0];
    EXPECT_STREQ(first + 29 * 0, "glCreateProgramObjectARB");
    EXPECT_STREQ(first + 29 * 23, "glFramebufferRenderbufferEXT");
    EXPECT_EQ(std::strlen(first + 29 * 23), 28u);
    EXPECT_STREQ(first + 29 * 31, "glActiveTextureARB");
    EXPECT_STREQ(first + 29 * 34, "glPointParameterf");
    for (int i = 0; i < 35; ++i) {
        const size_t length = std::strlen(GlExtensionTable[i]);
        for (size_t b = length; b < 29; ++b)
            EXPECT_EQ(GlExtensionTable[i][b], 0) << i;
    }
}

// All 35 names resolve: true, and every pointer is set, asked in table order.
TEST(GlExtensionTable, AllNamesResolve) {
    asked.clear();
    missing.clear();
    ASSERT_TRUE(loadGlExtensions(fakeResolver));
    ASSERT_GE(asked.size(), 35u);
    for (int i = 0; i < 35; ++i) {
        EXPECT_EQ(asked[i], GlExtensionTable[i]);
        EXPECT_NE(glExtensionPointer(i), nullptr) << GlExtensionTable[i];
    }
    EXPECT_EQ(reinterpret_cast<void*>(glActiveTextureARB), glExtensionPointer(31));
}

// The first missing name ends the look-up: it and every later pointer stay null.
TEST(GlExtensionTable, FirstMissingNameStopsTheLookUp) {
    asked.clear();
    missing = "glGenFramebuffersEXT";  // slot 16
    EXPECT_FALSE(loadGlExtensions(fakeResolver));
    EXPECT_EQ(asked.size(), 17u) << "names after the missing one were looked up";
    for (int i = 0; i < 16; ++i)
        EXPECT_NE(glExtensionPointer(i), nullptr) << i;
    for (int i = 16; i < 35; ++i)
        EXPECT_EQ(glExtensionPointer(i), nullptr) << i;
}

// Entry points that nothing calls are still required.
TEST(GlExtensionTable, UnusedEntryPointsAreRequired) {
    for (const char* name : {"glProgramParameteriEXT", "glTexImage3D", "glPointParameterf"}) {
        asked.clear();
        missing = name;
        EXPECT_FALSE(loadGlExtensions(fakeResolver)) << name;
    }
}

}  // namespace
}  // namespace tw

// The extension table's look-up: names asked in table order, stopping at the first missing one.
#include <gtest/gtest.h>

#include "gl/GlExtensionTable.h"

namespace tw {
namespace {

int asked = 0;
int missingSlot = -1;

// Answers slot i with the fake address 0x1000 + i, except the missing slot; after the table
// comes the info log's entry point.
void* fakeResolver(const char* name) {
    EXPECT_STREQ(name, asked < 35 ? GlExtensionTable[asked] : "glGetInfoLogARB");
    return asked++ == missingSlot ? nullptr : reinterpret_cast<void*>(0x1000 + asked - 1);
}

class GlExtensionLookUp : public ::testing::TestWithParam<int> {};

// With slot n missing (35: none), the look-up fails, asks nothing after n and leaves n onwards
// null, also for entry points nothing calls (slots 9 and 34); the named pointers follow.
TEST_P(GlExtensionLookUp, StopsAtTheMissingSlot) {
    asked = 0;
    missingSlot = GetParam();
    EXPECT_EQ(loadGlExtensions(fakeResolver), missingSlot == 35);
    EXPECT_EQ(asked, missingSlot + 1);
    for (int i = 0; i < 35; ++i)
        EXPECT_EQ(glExtensionPointer(i),
                  i < missingSlot ? reinterpret_cast<void*>(0x1000 + i) : nullptr)
            << "slot " << i;
    EXPECT_EQ(reinterpret_cast<void*>(glActiveTextureARB), glExtensionPointer(31));
}

INSTANTIATE_TEST_SUITE_P(MissingSlot, GlExtensionLookUp, ::testing::Values(0, 9, 16, 34, 35));

}  // namespace
}  // namespace tw

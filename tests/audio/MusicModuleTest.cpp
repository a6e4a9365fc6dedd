// The embedded module read back field by field, and loaded by the player the intro uses.
#include <gtest/gtest.h>
#include <xmp.h>

#include <cstring>

#include "XmReader.h"
#include "audio/MusicModule.h"
#include "audio/MusicPlayer.h"

namespace tw {
namespace {

test::XmFile embedded() {
    const MusicModule module = musicModule();
    return test::readXm(module.data, module.size);
}

// The header identifies a standard XM of format version 0x0104.
TEST(MusicModule, HeaderIdentifiesStandardXm) {
    const test::XmFile xm = embedded();
    EXPECT_EQ(xm.id, "Extended Module: ");
    EXPECT_EQ(xm.marker, 0x1A);
    EXPECT_EQ(xm.version, 0x0104);
    EXPECT_EQ(xm.headerSize, 276u);
}

// Four channels, linear frequency table, 125 BPM: every player frame is 20 ms of 882 frames.
TEST(MusicModule, HeaderFitsThePlayerSetup) {
    const test::XmFile xm = embedded();
    EXPECT_EQ(xm.channels, 4);
    EXPECT_EQ(xm.flags, 0x0001);
    EXPECT_EQ(xm.bpm, 125);
    EXPECT_GE(xm.tempo, 1);
    EXPECT_LE(xm.tempo, 31);
    EXPECT_EQ(xm.patterns.size(), xm.patternCount);
    EXPECT_EQ(xm.samples.size(), xm.instrumentCount);
}

// The order list names existing patterns and restarts after the introduction.
TEST(MusicModule, OrderListRestartsAfterTheIntroduction) {
    const test::XmFile xm = embedded();
    ASSERT_GT(xm.songLength, 1);
    ASSERT_EQ(xm.orders.size(), xm.songLength);
    for (uint8_t order : xm.orders)
        EXPECT_LT(order, xm.patternCount);
    EXPECT_GT(xm.restart, 0);
    EXPECT_LT(xm.restart, xm.songLength);
    // The introduction's patterns are not played again from the restart position on.
    for (size_t i = xm.restart; i < xm.orders.size(); ++i)
        for (size_t intro = 0; intro < xm.restart; ++intro)
            EXPECT_NE(xm.orders[i], xm.orders[intro]) << "order " << i;
}

// The headers account for every byte of the image, which stays under 100 KB.
TEST(MusicModule, HeadersAccountForTheWholeImage) {
    const MusicModule module = musicModule();
    EXPECT_EQ(embedded().size, module.size);
    EXPECT_LT(module.size, 100u * 1024u);
}

// Every instrument carries one 8-bit sample with data.
TEST(MusicModule, EveryInstrumentHasOneEightBitSample) {
    const test::XmFile xm = embedded();
    for (size_t i = 0; i < xm.samples.size(); ++i) {
        ASSERT_EQ(xm.samples[i].size(), 1u) << "instrument " << i + 1;
        EXPECT_GT(xm.samples[i][0].length, 0u) << "instrument " << i + 1;
        EXPECT_EQ(xm.samples[i][0].type & 0x10, 0) << "instrument " << i + 1;
    }
}

// No pattern changes the BPM or stops the song (Fxx only with 1..31), and every channel plays
// notes.
TEST(MusicModule, PatternsKeepTheBpmAndUseEveryChannel) {
    const test::XmFile xm = embedded();
    std::vector<int> notes(xm.channels, 0);
    for (size_t p = 0; p < xm.patterns.size(); ++p) {
        const test::XmPattern& pattern = xm.patterns[p];
        for (size_t i = 0; i < pattern.cells.size(); ++i) {
            const test::XmCell& cell = pattern.cells[i];
            if (cell.effect == 0xF) {
                EXPECT_TRUE(cell.param >= 1 && cell.param < 0x20)
                    << "pattern " << p << " row " << i / xm.channels;
            }
            if (cell.note >= 1 && cell.note <= 96)
                ++notes[i % xm.channels];
        }
    }
    for (int ch = 0; ch < xm.channels; ++ch)
        EXPECT_GT(notes[ch], 0) << "channel " << ch + 1;
}

// The player loads the image from memory with its real length, as the intro does.
TEST(MusicModule, LoadsInThePlayerFromMemory) {
    const char* failure = nullptr;
    xmp_context context = MusicPlayer::createContext(&failure);
    ASSERT_NE(context, nullptr) << failure;
    xmp_module_info info;
    xmp_get_module_info(context, &info);
    const test::XmFile xm = embedded();
    EXPECT_EQ(info.mod->chn, xm.channels);
    EXPECT_EQ(info.mod->len, xm.songLength);
    EXPECT_EQ(info.mod->rst, xm.restart);
    EXPECT_EQ(info.mod->ins, xm.instrumentCount);
    EXPECT_EQ(info.mod->bpm, 125);
    xmp_free_context(context);
}

}  // namespace
}  // namespace tw

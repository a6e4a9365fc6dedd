// An independent second player reads the embedded module the way the intro's player does.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>
#include <xmp.h>

#include "audio/MusicModule.h"
#include "audio/MusicPlayer.h"
#include "audio/MusicRender.h"

namespace tw {
namespace {

// libopenmpt loads the generated module and finds the same layout and, within 1 %, the same song
// length as libxmp: a header field, pattern packing or effect that the two read differently (a
// writer fault one player forgives) shows here.
TEST(MusicPlayersAgree, SecondPlayerReadsTheSameSong) {
    const MusicModule module = musicModule();
    int error = 0;
    openmpt_module* mod = openmpt_module_create_from_memory2(
        module.data, module.size, openmpt_log_func_silent, nullptr, openmpt_error_func_ignore,
        nullptr, &error, nullptr, nullptr);
    ASSERT_NE(mod, nullptr) << "libopenmpt error " << error;
    const char* failure = nullptr;
    xmp_context context = MusicPlayer::createContext(&failure);
    ASSERT_NE(context, nullptr) << failure;
    xmp_module_info info;
    xmp_get_module_info(context, &info);
    EXPECT_EQ(openmpt_module_get_num_channels(mod), info.mod->chn);
    EXPECT_EQ(openmpt_module_get_num_orders(mod), info.mod->len);
    EXPECT_EQ(openmpt_module_get_num_instruments(mod), info.mod->ins);
    xmp_free_context(context);
    const double other = openmpt_module_get_duration_seconds(mod);
    openmpt_module_destroy(mod);
    const double ours = musicSongSeconds();
    EXPECT_NEAR(other, ours, ours * 0.01) << "libxmp " << ours << " s, libopenmpt " << other;
}

}  // namespace
}  // namespace tw

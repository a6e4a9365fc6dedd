// An independent second player reads the module the same way.
#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <cmath>

#include "audio/MusicModule.h"
#include "audio/MusicRender.h"

namespace tw {
namespace {

// The second player loads the image and finds the same song length within 1 %.
TEST(MusicPlayersAgree, SecondPlayerFindsTheSameSongLength) {
    const MusicModule module = musicModule();
    int error = 0;
    openmpt_module* mod = openmpt_module_create_from_memory2(
        module.data, module.size, openmpt_log_func_silent, nullptr, openmpt_error_func_ignore,
        nullptr, &error, nullptr, nullptr);
    ASSERT_NE(mod, nullptr) << "libopenmpt error " << error;
    EXPECT_EQ(openmpt_module_get_num_channels(mod), 4);
    const double other = openmpt_module_get_duration_seconds(mod);
    openmpt_module_destroy(mod);
    const double ours = musicSongSeconds();
    EXPECT_NEAR(other, ours, ours * 0.01) << "libxmp " << ours << " s, libopenmpt " << other;
}

}  // namespace
}  // namespace tw

#include "SongLayout.h"

#include "audio/MusicPlayer.h"
#include "audio/MusicStream.h"

namespace tw {

SongLayout readSongLayout() {
    const char* step = "";
    xmp_context context = MusicPlayer::createContext(&step);
    if (context == nullptr)
        return {};
    xmp_module_info module;
    xmp_get_module_info(context, &module);
    xmp_frame_info frame;
    xmp_get_frame_info(context, &frame);
    SongLayout layout;
    layout.seconds = frame.total_time / 1000.0;
    // After a frame the player gives the time at that frame's end: one frame back is where the
    // restart position's first frame begins.
    xmp_set_position(context, module.mod->rst);
    xmp_play_frame(context);
    xmp_get_frame_info(context, &frame);
    const double frameSeconds =
        static_cast<double>(frame.buffer_size) / (2 * kMusicChannels) / kMusicRate;
    layout.loopStart = frame.time / 1000.0 - frameSeconds;
    xmp_free_context(context);
    return layout;
}

}  // namespace tw

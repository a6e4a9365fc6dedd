// MusicPlayer::createContext, the player context with the intro's settings: on its own so that
// every player of the module (the intro's audio thread, the offline renderer, the browser's Web
// Audio feed) shares it without the audio thread and the sound device.
#include "audio/MusicModule.h"
#include "audio/MusicPlayer.h"
#include "audio/MusicRender.h"

namespace tw {

xmp_context MusicPlayer::createContext(const char** failure) {
    xmp_context created = xmp_create_context();
    if (created == nullptr) {
        *failure = "xmp_create_";  // cut short on purpose: kept exactly, since scripts match it
        return nullptr;
    }
    const MusicModule module = musicModule();
    // The real length: the player library refuses an unknown (zero) size.
    if (xmp_load_module_from_memory(created, module.data, static_cast<long>(module.size)) != 0) {
        xmp_free_context(created);
        *failure = "xmp_load_module";
        return nullptr;
    }
    xmp_start_player(created, kMusicRate, 0);  // 0: signed 16-bit stereo, native byte order
    // Only a playing context takes these: full stereo separation, no interpolation.
    xmp_set_player(created, XMP_PLAYER_MIX, 100);
    xmp_set_player(created, XMP_PLAYER_INTERP, XMP_INTERP_NEAREST);
    return created;
}

}  // namespace tw

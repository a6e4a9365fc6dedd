#include "audio/MusicPlayer.h"

#include <cstdio>
#include <cstring>

#include "audio/AudioOutput.h"
#include "audio/MusicModule.h"
#include "audio/MusicRender.h"

namespace tw {

xmp_context MusicPlayer::context = nullptr;
pthread_t MusicPlayer::thread;
bool MusicPlayer::threadStarted = false;
xmp_frame_info MusicPlayer::frameInfo;
std::atomic<bool> MusicPlayer::running{true};

xmp_context MusicPlayer::createContext(const char** failure) {
    xmp_context created = xmp_create_context();
    if (created == nullptr) {
        *failure = "xmp_create_";
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

const char* MusicPlayer::start() {
    const char* failure = nullptr;
    context = createContext(&failure);
    if (context == nullptr)
        return failure;
    if (AudioOutput::open(kMusicRate, kMusicChannels) < 0)
        return "can't initialize soun";
    const int err = pthread_create(&thread, nullptr, threadMain, nullptr);
    threadStarted = err == 0;
    if (!threadStarted)
        std::fprintf(stderr, "Unable to start the audio thread: %s (no music)\n",
                     std::strerror(err));
    return nullptr;
}

void* MusicPlayer::threadMain(void* /*unused*/) {
    while (running.load()) {
        xmp_play_frame(context);
        xmp_get_frame_info(context, &frameInfo);
        AudioOutput::write(frameInfo.buffer, frameInfo.buffer_size);
    }
    return nullptr;
}

void MusicPlayer::stop() {
    running.store(false);
    if (threadStarted)
        pthread_join(thread, nullptr);
    threadStarted = false;
    xmp_free_context(context);
    AudioOutput::close();
}

}  // namespace tw

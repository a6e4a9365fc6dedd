#include "audio/MusicPlayer.h"

#include <cstdio>
#include <cstring>

#include "audio/AudioOutput.h"
#include "audio/MusicRender.h"

namespace tw {

xmp_context MusicPlayer::context = nullptr;
pthread_t MusicPlayer::thread;
bool MusicPlayer::threadStarted = false;
xmp_frame_info MusicPlayer::frameInfo;
std::atomic<bool> MusicPlayer::running{false};
std::atomic<long> MusicPlayer::ticks{0};

const char* MusicPlayer::start() {
    const char* failure = nullptr;
    context = createContext(&failure);
    if (context == nullptr)
        return failure;
    if (AudioOutput::open(kMusicRate, kMusicChannels) < 0) {
        AudioOutput::close();
        xmp_free_context(context);
        context = nullptr;
        // Cut short on purpose: kept exactly, since scripts match the line.
        return "can't initialize soun";
    }
    running.store(true);
    ticks.store(0);
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
        ticks.fetch_add(1);
    }
    return nullptr;
}

void MusicPlayer::stop() {
    if (context == nullptr)
        return;
    running.store(false);
    if (threadStarted)
        pthread_join(thread, nullptr);
    threadStarted = false;
    xmp_free_context(context);
    context = nullptr;
    AudioOutput::close();
}

}  // namespace tw

#include "WebMusic.h"

#include <cmath>

#include "audio/MusicPlayer.h"
#include "audio/MusicRender.h"

namespace tw {

xmp_context WebMusic::context = nullptr;
std::vector<int16_t> WebMusic::pending;
size_t WebMusic::pendingFrom = 0;

const char* WebMusic::start(double startSeconds) {
    stop();
    const char* failure = nullptr;
    context = MusicPlayer::createContext(&failure);
    if (context == nullptr)
        return failure;
    // Deterministic from its start: a later point is reached by playing up to it.
    size_t skip = static_cast<size_t>(std::llround(startSeconds * kMusicRate)) * kMusicChannels;
    while (skip > 0) {
        playFrame();
        const size_t dropped = std::min(skip, pending.size() - pendingFrom);
        pendingFrom += dropped;
        skip -= dropped;
    }
    return nullptr;
}

void WebMusic::playFrame() {
    xmp_frame_info info;
    xmp_play_frame(context);
    xmp_get_frame_info(context, &info);
    const auto* samples = static_cast<const int16_t*>(info.buffer);
    pending.assign(samples, samples + info.buffer_size / sizeof(int16_t));
    pendingFrom = 0;
}

void WebMusic::fill(float* left, float* right, int frames) {
    for (int i = 0; i < frames; ++i) {
        if (context == nullptr) {
            left[i] = right[i] = 0.0f;
            continue;
        }
        while (pendingFrom >= pending.size())
            playFrame();
        left[i] = pending[pendingFrom] / 32768.0f;
        right[i] = pending[pendingFrom + 1] / 32768.0f;
        pendingFrom += kMusicChannels;
    }
}

void WebMusic::stop() {
    if (context != nullptr)
        xmp_free_context(context);
    context = nullptr;
    pending.clear();
    pendingFrom = 0;
}

}  // namespace tw

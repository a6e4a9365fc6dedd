#include "audio/MusicStream.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/MusicPlayer.h"

namespace tw {

MusicStream::MusicStream() {
    const char* step = "";
    context = MusicPlayer::createContext(&step);
    if (context == nullptr)
        failure = std::string("music: ") + step + " failed";
}

MusicStream::~MusicStream() {
    if (context != nullptr)
        xmp_free_context(context);
}

double MusicStream::songSeconds() const {
    if (context == nullptr)
        return 0.0;
    xmp_frame_info info;
    xmp_get_frame_info(context, &info);
    return info.total_time / 1000.0;
}

void MusicStream::playFrame() {
    xmp_play_frame(context);
    xmp_frame_info info;
    xmp_get_frame_info(context, &info);
    pending = static_cast<const int16_t*>(info.buffer);
    pendingFrames = static_cast<size_t>(info.buffer_size) / (2 * kMusicChannels);
    // The player counts a loop on the frame that returns to the restart position.
    if (info.loop_count > loopsSeen && loopsSeen < 2)
        loopStarts[loopsSeen++] = played;
}

void MusicStream::skip(long long frames) {
    long long target = played + frames;
    bool folded = false;
    while (played < target) {
        if (pendingFrames == 0) {
            playFrame();
            if (loopsSeen == 2 && !folded) {
                // Now at the start of the third pass, which sounds like the second, and so does
                // every later one: go on to the same point of this one.
                const long long loop = loopStarts[1] - loopStarts[0];
                target = played + (target - played) % loop;
                folded = true;
            }
        }
        const size_t step =
            static_cast<size_t>(std::min<long long>(target - played, pendingFrames));
        pending += step * kMusicChannels;
        pendingFrames -= step;
        played += static_cast<long long>(step);
    }
}

void MusicStream::seek(double seconds) {
    if (context != nullptr)
        skip(std::llround(seconds * kMusicRate));
}

void MusicStream::read(int16_t* out, size_t frames) {
    if (context == nullptr) {
        std::fill(out, out + frames * kMusicChannels, 0);
        return;
    }
    while (frames > 0) {
        if (pendingFrames == 0)
            playFrame();
        const size_t step = std::min(frames, pendingFrames);
        std::memcpy(out, pending, step * kMusicChannels * sizeof(int16_t));
        out += step * kMusicChannels;
        pending += step * kMusicChannels;
        pendingFrames -= step;
        played += static_cast<long long>(step);
        frames -= step;
    }
}

}  // namespace tw

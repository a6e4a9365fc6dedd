#include "audio/MusicRender.h"

#include <xmp.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

#include "audio/MusicPlayer.h"

namespace tw {

namespace {

// A started player for the embedded module, freed on scope exit.
class RenderContext {
  public:
    RenderContext() {
        const char* failure = "";
        context = MusicPlayer::createContext(&failure);
        if (context == nullptr)
            throw std::runtime_error(std::string("music: ") + failure + " failed");
    }
    ~RenderContext() { xmp_free_context(context); }
    RenderContext(const RenderContext&) = delete;
    RenderContext& operator=(const RenderContext&) = delete;

    xmp_context context = nullptr;
};

}  // namespace

std::vector<int16_t> renderMusic(double startSeconds, double seconds) {
    const size_t skip = static_cast<size_t>(std::llround(startSeconds * kMusicRate));
    const size_t wanted = static_cast<size_t>(std::llround(seconds * kMusicRate));
    std::vector<int16_t> out(wanted * kMusicChannels);
    RenderContext player;
    // The player is deterministic from its start, so a later stretch is reached by rendering
    // (and dropping) everything before it: exactly what the intro would have played by then.
    size_t frame = 0;  // sample frames rendered so far
    size_t filled = 0;
    xmp_frame_info info;
    while (filled < wanted) {
        xmp_play_frame(player.context);
        xmp_get_frame_info(player.context, &info);
        const size_t frames = static_cast<size_t>(info.buffer_size) / (2 * kMusicChannels);
        const auto* samples = static_cast<const int16_t*>(info.buffer);
        const size_t from = skip > frame ? std::min(skip - frame, frames) : 0;
        const size_t count = std::min(frames - from, wanted - filled);
        std::memcpy(out.data() + filled * kMusicChannels, samples + from * kMusicChannels,
                    count * kMusicChannels * sizeof(int16_t));
        filled += count;
        frame += frames;
    }
    return out;
}

double musicSongSeconds() {
    RenderContext player;
    xmp_frame_info info;
    xmp_get_frame_info(player.context, &info);
    return info.total_time / 1000.0;
}

}  // namespace tw

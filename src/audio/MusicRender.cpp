#include "audio/MusicRender.h"

#include <cmath>

namespace tw {

std::vector<int16_t> renderMusic(double startSeconds, double seconds) {
    MusicStream stream;
    if (!stream.error().empty())
        return {};
    stream.seek(startSeconds);
    std::vector<int16_t> out(static_cast<size_t>(std::llround(seconds * kMusicRate)) *
                             kMusicChannels);
    stream.read(out.data(), out.size() / kMusicChannels);
    return out;
}

double musicSongSeconds() {
    return MusicStream().songSeconds();
}

}  // namespace tw

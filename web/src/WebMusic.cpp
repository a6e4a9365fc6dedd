#include "WebMusic.h"

#include <algorithm>

namespace tw {

std::string WebMusic::start(double startSeconds) {
    stream = std::make_unique<MusicStream>();
    if (!stream->error().empty()) {
        std::string failure = stream->error();
        stream.reset();
        return failure;
    }
    stream->seek(startSeconds);
    return {};
}

void WebMusic::fill(float* left, float* right, int frames) {
    if (stream == nullptr) {
        std::fill(left, left + frames, 0.0f);
        std::fill(right, right + frames, 0.0f);
        return;
    }
    interleaved.resize(static_cast<size_t>(frames) * kMusicChannels);
    stream->read(interleaved.data(), static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i) {
        left[i] = interleaved[2 * i] / 32768.0f;
        right[i] = interleaved[2 * i + 1] / 32768.0f;
    }
}

}  // namespace tw

#include "MusicAssets.h"

#include <cmath>

#include "PendingOutput.h"
#include "WavFile.h"
#include "audio/MusicModule.h"
#include "audio/MusicStream.h"

namespace tw {

std::string writeMusicModule(const std::string& path) {
    const MusicModule module = musicModule();
    return writeFileAtomically(path, module.data, module.size);
}

std::string writeMusicWav(const std::string& path) {
    MusicStream music;
    if (!music.error().empty())
        return music.error();
    const auto frames = static_cast<uint64_t>(std::llround(music.songSeconds() * kMusicRate));
    return writeWav(path, frames, kMusicRate, kMusicChannels, [&](int16_t* samples, size_t count) {
        music.read(samples, count);
        return true;
    });
}

}  // namespace tw

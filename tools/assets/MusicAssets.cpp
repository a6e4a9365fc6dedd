#include "MusicAssets.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "WavFile.h"
#include "audio/MusicModule.h"
#include "audio/MusicStream.h"

namespace tw {

std::string writeFile(const std::string& path, const void* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return std::strerror(errno);
    const bool written = std::fwrite(data, 1, size, file) == size;
    const int writeError = written ? 0 : errno;
    const bool closed = std::fclose(file) == 0;  // a full disk may show only here
    const int closeError = closed ? 0 : errno;
    if (written && closed)
        return "";
    std::remove(path.c_str());
    return std::strerror(writeError != 0 ? writeError : closeError != 0 ? closeError : EIO);
}

std::string writeMusicModule(const std::string& path) {
    const MusicModule module = musicModule();
    return writeFile(path, module.data, module.size);
}

std::string writeMusicWav(const std::string& path) {
    MusicStream music;
    if (!music.error().empty())
        return music.error();
    const auto frames = static_cast<uint64_t>(std::llround(music.songSeconds() * kMusicRate));
    WavFile wav;
    bool ok = wav.open(path, frames, kMusicRate, kMusicChannels);
    std::vector<int16_t> chunk(kMusicRate * kMusicChannels);
    for (uint64_t left = frames; ok && left > 0;) {
        const size_t count = static_cast<size_t>(std::min<uint64_t>(left, kMusicRate));
        music.read(chunk.data(), count);
        ok = wav.write(chunk.data(), count);
        left -= count;
    }
    if (ok && wav.close())
        return "";
    std::remove(path.c_str());
    return wav.error();
}

}  // namespace tw

#include "MusicAssets.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "audio/MusicModule.h"
#include "audio/MusicRender.h"

namespace tw {

namespace {

bool writeWhole(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::string temporary = path + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    bool ok = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file != nullptr)
        ok = std::fclose(file) == 0 && ok;
    ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
        std::remove(temporary.c_str());
    return ok;
}

void put(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

bool writeMusicModule(const std::string& path) {
    const MusicModule module = musicModule();
    return writeWhole(path, std::vector<uint8_t>(module.data, module.data + module.size));
}

bool writeMusicWav(const std::string& path) {
    const std::vector<int16_t> samples = renderMusic(0.0, musicSongSeconds());
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * sizeof(int16_t));
    const uint32_t blockAlign = kMusicChannels * sizeof(int16_t);
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put(out, 36 + dataBytes, 4);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(out, 16, 4);  // format chunk size
    put(out, 1, 2);   // PCM
    put(out, kMusicChannels, 2);
    put(out, kMusicRate, 4);
    put(out, kMusicRate * blockAlign, 4);  // bytes per second
    put(out, blockAlign, 2);
    put(out, 16, 2);  // bits per sample
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put(out, dataBytes, 4);
    for (int16_t s : samples)
        put(out, static_cast<uint16_t>(s), 2);
    return writeWhole(path, out);
}

}  // namespace tw

#include "WavFile.h"

#include <cstdio>

namespace tw {

namespace {

void put32(std::FILE* file, uint32_t value) {
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    std::fwrite(bytes, 1, 4, file);
}

void put16(std::FILE* file, uint16_t value) {
    const unsigned char bytes[2] = {static_cast<unsigned char>(value),
                                    static_cast<unsigned char>(value >> 8)};
    std::fwrite(bytes, 1, 2, file);
}

}  // namespace

bool writeWav(const std::string& path, const std::vector<int16_t>& samples, int rate,
              int channels) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * sizeof(int16_t));
    const uint16_t blockAlign = static_cast<uint16_t>(channels * 2);
    std::fwrite("RIFF", 1, 4, file);
    put32(file, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, file);
    put32(file, 16);  // PCM format chunk
    put16(file, 1);   // integer PCM
    put16(file, static_cast<uint16_t>(channels));
    put32(file, static_cast<uint32_t>(rate));
    put32(file, static_cast<uint32_t>(rate) * blockAlign);
    put16(file, blockAlign);
    put16(file, 16);
    std::fwrite("data", 1, 4, file);
    put32(file, dataBytes);
    std::fwrite(samples.data(), sizeof(int16_t), samples.size(), file);
    const bool written = std::ferror(file) == 0;
    if (std::fclose(file) != 0 || !written) {
        std::remove(path.c_str());
        return false;
    }
    return true;
}

}  // namespace tw

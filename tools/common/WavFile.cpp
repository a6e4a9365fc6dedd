#include "WavFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace tw {

namespace {

constexpr uint32_t kHeaderBytes = 44;

void put(unsigned char*& at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        *at++ = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

WavFile::~WavFile() {
    if (file != nullptr)
        std::fclose(file);
}

uint64_t WavFile::maxFrames(int channels) {
    return (UINT32_MAX - (kHeaderBytes - 8)) / (2u * static_cast<uint32_t>(channels));
}

bool WavFile::fail(const std::string& what) {
    failure = what;
    return false;
}

bool WavFile::open(const std::string& target, uint64_t frames, int rate, int count) {
    path = target;
    expected = frames;
    channels = count;
    if (frames > maxFrames(channels))
        return fail("longer than a WAV file can hold");
    file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return fail(std::strerror(errno));
    const uint32_t dataBytes = static_cast<uint32_t>(frames * 2 * channels);
    const uint32_t blockAlign = static_cast<uint32_t>(channels * 2);
    unsigned char header[kHeaderBytes];
    unsigned char* at = header;
    std::memcpy(at, "RIFF", 4);
    at += 4;
    put(at, kHeaderBytes - 8 + dataBytes, 4);
    std::memcpy(at, "WAVEfmt ", 8);
    at += 8;
    put(at, 16, 4);  // PCM format chunk
    put(at, 1, 2);   // integer PCM
    put(at, static_cast<uint32_t>(channels), 2);
    put(at, static_cast<uint32_t>(rate), 4);
    put(at, static_cast<uint32_t>(rate) * blockAlign, 4);
    put(at, blockAlign, 2);
    put(at, 16, 2);
    std::memcpy(at, "data", 4);
    at += 4;
    put(at, dataBytes, 4);
    if (std::fwrite(header, 1, sizeof header, file) != sizeof header)
        return fail(std::strerror(errno));
    return true;
}

bool WavFile::write(const int16_t* samples, size_t frames) {
    const size_t count = frames * static_cast<size_t>(channels);
    if (std::fwrite(samples, sizeof(int16_t), count, file) != count)
        return fail(std::strerror(errno));
    written += frames;
    return true;
}

bool WavFile::close() {
    std::FILE* closing = file;
    file = nullptr;
    const bool flushed = std::fflush(closing) == 0;
    const int flushError = errno;
    if (std::fclose(closing) != 0 || !flushed)
        return fail(std::strerror(flushed ? errno : flushError));
    if (written != expected)
        return fail("wrote " + std::to_string(written) + " of " + std::to_string(expected) +
                    " frames");
    return true;
}

std::string writeWav(const std::string& path, uint64_t frames, int rate, int channels,
                     const WavFill& fill) {
    WavFile wav;
    bool ok = wav.open(path, frames, rate, channels);
    std::string failure = wav.error();
    std::vector<int16_t> chunk(static_cast<size_t>(rate) * channels);
    for (uint64_t left = frames; ok && left > 0;) {
        const size_t count = static_cast<size_t>(std::min<uint64_t>(left, rate));
        if (!fill(chunk.data(), count)) {
            ok = false;
            failure = "stopped";
        } else if (!wav.write(chunk.data(), count)) {
            ok = false;
            failure = wav.error();
        }
        left -= count;
    }
    if (ok && wav.close())
        return "";
    if (failure.empty())
        failure = wav.error();
    std::remove(path.c_str());
    return failure;
}

}  // namespace tw

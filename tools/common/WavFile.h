// Writes interleaved signed 16-bit PCM as a WAV file, chunk by chunk, for a length known in
// advance (the music for --frames, the asset export's one pass).
//
// open(), write() as often as needed, close(). Any false result means the file is incomplete
// (a full disk, say); error() says why, and the caller removes the file. writeWav() is that
// whole loop, a second of sound at a time.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace tw {

class WavFile {
  public:
    WavFile() = default;
    ~WavFile();
    WavFile(const WavFile&) = delete;
    WavFile& operator=(const WavFile&) = delete;

    // The header's 32-bit sizes bound a file to just under 4 GiB of samples.
    static uint64_t maxFrames(int channels);

    bool open(const std::string& path, uint64_t frames, int rate, int channels);
    // Samples are in the host's byte order, which WAV shares on every target (little-endian).
    bool write(const int16_t* samples, size_t frames);
    // True only when exactly the announced frames were written and the file closed cleanly.
    bool close();
    const std::string& error() const { return failure; }

  private:
    bool fail(const std::string& what);

    std::FILE* file = nullptr;
    std::string path;
    uint64_t expected = 0;
    uint64_t written = 0;
    int channels = 2;
    std::string failure;
};

// Fills a chunk of `frames` interleaved frames; false to stop before the end.
using WavFill = std::function<bool(int16_t* samples, size_t frames)>;

// Writes `frames` frames at `rate` as the WAV file `path`, filled a second at a time. Empty on
// success; otherwise what failed ("stopped" when `fill` stopped), and the file is removed.
std::string writeWav(const std::string& path, uint64_t frames, int rate, int channels,
                     const WavFill& fill);

}  // namespace tw

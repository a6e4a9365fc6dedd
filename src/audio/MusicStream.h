// Streams the embedded module exactly as the intro plays it (same player settings), in chunks of
// any size and from any moment, so that no caller holds a whole song in memory.
//
// Construct, then check error() (empty when the player started); seek(seconds) at most once,
// before the first read; then read() as often as needed. The song plays its introduction once,
// then repeats its loop (from the restart position) for ever.
#pragma once

#include <xmp.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace tw {

constexpr int kMusicRate = 44100;  // frames per second
constexpr int kMusicChannels = 2;  // interleaved left, right

class MusicStream {
  public:
    MusicStream();
    ~MusicStream();
    MusicStream(const MusicStream&) = delete;
    MusicStream& operator=(const MusicStream&) = delete;

    // Empty when the player started; otherwise the player step that failed.
    const std::string& error() const { return failure; }
    // Length in seconds of one pass through the order list.
    double songSeconds() const;

    // Goes to `seconds` into the song as played through from its start. A moment past the first
    // three passes is found inside the third, which every later pass repeats sample for sample,
    // so seeking never costs more than rendering three passes (a fraction of a second).
    void seek(double seconds);
    // Fills `frames` interleaved signed 16-bit stereo frames at 44100 Hz.
    void read(int16_t* out, size_t frames);

  private:
    void playFrame();
    void skip(long long frames);

    xmp_context context = nullptr;
    std::string failure;
    const int16_t* pending = nullptr;  // what is left of the last player frame
    size_t pendingFrames = 0;
    long long played = 0;       // frames consumed since the song's start
    long long loopStarts[2]{};  // where the second and third passes began, once known
    int loopsSeen = 0;
};

}  // namespace tw

// Where recorded frames and the music go: a video (VideoEncoder) or a folder of pictures
// (FrameFolder).
//
// start(music) once, write(pixels) once per frame in order, finish() after the last. After any
// false result error() says what failed; the caller stops and throws the output away.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tw {

class FrameSink {
  public:
    virtual ~FrameSink() = default;

    // Interleaved 16-bit stereo at 44100 Hz, as long as the frames.
    virtual bool start(const std::vector<int16_t>& music) = 0;
    // RGBA, tightly packed rows, bottom row first (GL's order).
    virtual bool write(const uint8_t* pixels) = 0;
    virtual bool finish() = 0;

    const std::string& error() const { return failure; }

  protected:
    bool fail(const std::string& what) {
        failure = what;
        return false;
    }

  private:
    std::string failure;
};

}  // namespace tw

// Where recorded frames and the music go: a video (VideoEncoder) or a folder of pictures
// (FrameFolder).
//
// start() once with the music, positioned where the recording starts, and its length; write()
// once per frame in order; finish() after the last. The sink reads the music as it needs it, a
// chunk at a time. After any false result error() says what failed; the caller stops and throws
// the output away. While a sink waits (for ffmpeg, say) it gives up when stopSignal() reports a
// signal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/MusicStream.h"

namespace tw {

class FrameSink {
  public:
    virtual ~FrameSink() = default;

    // `musicFrames` frames of 44100 Hz stereo; the stream outlives the sink.
    virtual bool start(MusicStream& music, uint64_t musicFrames) = 0;
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

// Encodes the recording with ffmpeg: raw RGBA frames through a pipe into its standard input,
// the music from a WAV file beside the output, muxed into one MP4 (H.264 yuv420p, AAC).
//
// Construct with the file to write (the caller's temporary name) and the frame size and rate;
// then the FrameSink calls. ffmpeg is looked up on PATH; its own messages pass through to
// standard error. The destructor stops an ffmpeg that is still running and removes the WAV.
#pragma once

#include <sys/types.h>

#include "FrameSink.h"
#include "PendingOutput.h"

namespace tw {

class VideoEncoder : public FrameSink {
  public:
    VideoEncoder(const std::string& videoPath, int width, int height, int fps);
    ~VideoEncoder() override;

    bool start(const std::vector<int16_t>& music) override;
    bool write(const uint8_t* pixels) override;
    bool finish() override;

  private:
    bool spawn();
    bool reap();

    std::string videoPath;
    PendingOutput audio;  // never committed: only ffmpeg reads it
    int width;
    int height;
    int fps;
    pid_t child = -1;
    int pipeIn = -1;  // our end of ffmpeg's standard input
};

}  // namespace tw

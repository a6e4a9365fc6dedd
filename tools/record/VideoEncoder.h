// Encodes the recording with ffmpeg: raw RGBA frames through one pipe, the music as raw PCM
// through another, muxed into one MP4 (H.264 yuv420p, AAC), so nothing grows with the length.
// ffmpeg reads its inputs one at a time while it starts (as much of each as it likes), so the
// music is offered whenever its pipe has room, ahead of the frames as far as ffmpeg takes it.
//
// Construct with the file to write (the caller's temporary name), the frame size and rate and
// the number of frames; then the FrameSink calls. ffmpeg and ffprobe are looked up on PATH and
// run in a process group of their own: a Ctrl-C at the terminal reaches only the recorder,
// which then stops them. Their messages are kept and shown only when they fail. After ffmpeg
// ends, ffprobe must find every frame in the file: ffmpeg reports some failures (the disk
// filling up while it writes the index) only in a message, with status 0. The destructor stops
// whatever still runs.
#pragma once

#include <sys/types.h>

#include <vector>

#include "FrameSink.h"

namespace tw {

class VideoEncoder : public FrameSink {
  public:
    VideoEncoder(const std::string& videoPath, int width, int height, int fps, long frames);
    ~VideoEncoder() override;
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;

    bool start(MusicStream& music, uint64_t musicFrames) override;
    bool write(const uint8_t* pixels) override;
    bool finish() override;

  private:
    bool send(const uint8_t* pixels, size_t bytes);
    void closePipes();
    bool reap();
    bool check();
    bool failWithMessages(const std::string& what);

    std::string videoPath;
    int width;
    int height;
    int fps;
    long frames;
    pid_t child = -1;
    int videoIn = -1;   // our end of ffmpeg's standard input
    int audioIn = -1;   // our end of its descriptor 3
    int messages = -1;  // an in-memory file holding what ffmpeg and ffprobe print
    MusicStream* music = nullptr;
    uint64_t musicLeft = 0;      // frames not yet read from the stream
    std::vector<uint8_t> chunk;  // music read but not yet taken by the pipe
    size_t chunkAt = 0;
};

}  // namespace tw

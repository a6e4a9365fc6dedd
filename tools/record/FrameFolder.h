// Writes the recording as numbered pictures, frame-000000.png onward, and the music as
// audio.wav, into one folder.
//
// Construct with a folder that does not exist yet (its parent does) and the frame size; then the
// FrameSink calls. start() writes the whole WAV, a second at a time. The pictures are RGB and
// upright.
#pragma once

#include <vector>

#include "FrameSink.h"
#include "WavFile.h"

namespace tw {

class FrameFolder : public FrameSink {
  public:
    FrameFolder(const std::string& folder, int width, int height);

    bool start(MusicStream& music, uint64_t musicFrames) override;
    bool write(const uint8_t* pixels) override;
    bool finish() override { return true; }

  private:
    std::string folder;
    int width;
    int height;
    long index = 0;
    std::vector<uint8_t> rgb;
};

}  // namespace tw

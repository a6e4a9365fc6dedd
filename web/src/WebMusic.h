// The browser's sound source: the shared MusicStream (the intro's player settings, its folded
// seek) handed to the page's Web Audio feed as planar floats. The desktop's other side is
// AudioOutput, which pushes the same stream into ALSA from its own thread.
//
// start() whenever the sound (re)starts, at the scene time it must line up with; then fill() as
// often as the feed asks.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/MusicStream.h"

namespace tw {

class WebMusic {
  public:
    // Plays from `startSeconds` on; empty when playing, else the player step that failed.
    std::string start(double startSeconds);
    // The next `frames` stereo frames as floats in -1..1, left and right in separate arrays;
    // silence before a successful start().
    void fill(float* left, float* right, int frames);

  private:
    std::unique_ptr<MusicStream> stream;
    std::vector<int16_t> interleaved;
};

}  // namespace tw

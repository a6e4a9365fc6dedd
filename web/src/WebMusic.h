// The browser's sound output: the page's Web Audio callback pulls the music from here, as the
// desktop's audio thread pushes it into ALSA. The player is the intro's (MusicPlayer::
// createContext: 44100 Hz, full stereo separation, no interpolation), run one player frame at a
// time; after the last order it goes on at the restart position, as on the desktop.
//
// start() once, then fill() from the audio callback as often as it asks; stop() frees the player.
#pragma once

#include <xmp.h>

#include <cstdint>
#include <vector>

namespace tw {

class WebMusic {
  public:
    // Loads the module and plays (and drops) `startSeconds` of it, so the sound lines up with a
    // scene started there. Null when playing, else the name of the failed step.
    static const char* start(double startSeconds);
    // The next `frames` stereo frames as floats in -1..1, left and right in separate arrays.
    static void fill(float* left, float* right, int frames);
    static void stop();

  private:
    static void playFrame();

    static xmp_context context;
    // What the last player frame produced beyond the frames already handed out.
    static std::vector<int16_t> pending;
    static size_t pendingFrom;  // first unread sample in `pending`
};

}  // namespace tw

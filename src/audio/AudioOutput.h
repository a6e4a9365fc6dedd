// The sound device: one blocking ALSA playback stream on "default", signed 16-bit little-endian
// interleaved samples.
//
// open() once on the main thread, then write() from one thread only, then close() on the main
// thread after the last write has returned. Not safe for concurrent use.
// Desktop only: the browser build's other side is the page's Web Audio feed (web/sound.js), fed by
// web/src/WebMusic.h.
#pragma once

#include <cstdint>

struct _snd_pcm;

namespace tw {

class AudioOutput {
  public:
    // 0 when the device is open, configured and prepared; -1 after a failure, with the ALSA
    // error on standard error (the device may then stay open until close()).
    static int open(uint32_t rate, uint32_t channels);
    // Blocks while the device buffer is full. After an underrun or other error the device is
    // prepared again and this buffer is lost; frames the device did not take are written next.
    static void write(const void* buffer, int32_t bytes);
    // Plays out what is queued (up to about a quarter second), then closes the device; nothing
    // when no device is open.
    static void close();

  private:
    static _snd_pcm* pcm;
};

}  // namespace tw

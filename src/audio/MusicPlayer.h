// Plays the embedded module on the sound device from its own audio thread, one player frame (one
// module tick, 20 ms at 125 BPM) at a time, until stopped.
//
// start() last in the intro's start-up; on failure it names the failed step, nothing plays and
// nothing stays open. stop() at shut-down: the thread ends, the player is freed, the queued audio
// plays out and the device closes; without a successful start() it does nothing. start() may
// follow a stop() again. Both on the main thread.
// The browser build shares createContext() (MusicPlayerContext.cpp) and nothing else: its other
// side is web/src/WebMusic.h, which the page's Web Audio feed pulls from.
#pragma once

#include <pthread.h>
#include <xmp.h>

#include <atomic>

namespace tw {

class MusicPlayer {
  public:
    // Null when the music plays; otherwise the failed step: "xmp_create_", "xmp_load_module" or
    // "can't initialize soun" (the sound device's error is then on standard error).
    static const char* start();
    static void stop();
    // Module ticks (player frames) the audio thread has played since the last start().
    static long ticksPlayed() { return ticks.load(); }

    // A player context with the embedded module loaded and playing at 44100 Hz, 16-bit stereo,
    // with the intro's mixer settings. On failure: null, and `failure` names the failed step
    // ("xmp_create_" or "xmp_load_module"). Shared with the offline renderer so both sound alike.
    static xmp_context createContext(const char** failure);

  private:
    static void* threadMain(void* unused);

    static xmp_context context;
    static pthread_t thread;
    static bool threadStarted;
    static xmp_frame_info frameInfo;
    // Written by the main thread, read by the audio thread before every frame.
    static std::atomic<bool> running;
    static std::atomic<long> ticks;
};

}  // namespace tw

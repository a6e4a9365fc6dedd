// Built with ThreadSanitizer: starts the music, lets the audio thread play, and stops it, twice,
// so any unsynchronised access between the main and the audio thread is reported (and fails the
// test through the sanitizer's exit status); a stop before any start must do nothing, and the
// second start must play again.
#include <chrono>
#include <cstdio>
#include <thread>

#include "audio/MusicPlayer.h"

int main() {
    tw::MusicPlayer::stop();
    for (int run = 1; run <= 2; ++run) {
        if (const char* failure = tw::MusicPlayer::start()) {
            std::printf("start %d: the music did not start: %s\n", run, failure);
            return 1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(750));
        const long ticks = tw::MusicPlayer::ticksPlayed();
        tw::MusicPlayer::stop();
        // 20 ms a tick: 0.75 s is over 30 of them.
        if (ticks < 10) {
            std::printf("start %d: the audio thread played %ld ticks in 0.75 s\n", run, ticks);
            return 1;
        }
    }
    return 0;
}

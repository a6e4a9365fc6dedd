// Built with ThreadSanitizer, which fails the test on any unsynchronised access between the main
// and the audio thread: a stop before any start, then two starts that must each play, and stops.
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
        // At least 0.75 s of play with the main thread looking on; 20 ms a tick, so 10
        // ticks are due by then on an idle machine. A loaded one (the sanitizer, other tests)
        // may lag; only a thread that never gets going in 20 s fails.
        const auto begun = std::chrono::steady_clock::now();
        const auto since = [&] { return std::chrono::steady_clock::now() - begun; };
        do
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        while (since() < std::chrono::seconds(20) &&
               (since() < std::chrono::milliseconds(750) || tw::MusicPlayer::ticksPlayed() < 10));
        const long played = tw::MusicPlayer::ticksPlayed();
        tw::MusicPlayer::stop();
        if (played < 10) {
            std::printf("start %d: the audio thread played %ld ticks in 20 s\n", run, played);
            return 1;
        }
    }
    return 0;
}

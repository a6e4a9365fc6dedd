// Built with ThreadSanitizer: starts the music on the real device, lets the audio thread play,
// and stops it, so any unsynchronised access between the main and the audio thread is reported
// (and fails the test through the sanitizer's exit status).
#include <chrono>
#include <cstdio>
#include <thread>

#include "audio/MusicPlayer.h"

int main() {
    if (const char* failure = tw::MusicPlayer::start()) {
        std::printf("the music did not start: %s\n", failure);
        return 1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    tw::MusicPlayer::stop();
    return 0;
}

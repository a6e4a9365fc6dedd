// Built with ThreadSanitizer: starts the music on the real device, lets the audio thread play,
// and stops it, so any unsynchronised access between the main and the audio thread is reported
// (and fails the test through the sanitizer's exit status).
#include <chrono>
#include <thread>

#include "audio/MusicPlayer.h"

int main() {
    tw::MusicPlayer::start();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    tw::MusicPlayer::stop();
    return 0;
}

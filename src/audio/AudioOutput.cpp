#include "audio/AudioOutput.h"

#include <alsa/asoundlib.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace tw {

namespace {
constexpr unsigned int kPeriodTime = 50000;  // microseconds: how often the device wakes the writer
}  // namespace

snd_pcm_t* AudioOutput::pcm = nullptr;

int AudioOutput::open(uint32_t rate, uint32_t channels) {
    int err = snd_pcm_open(&pcm, "default", SND_PCM_STREAM_PLAYBACK, 0);
    if (err < 0) {
        pcm = nullptr;
        std::fprintf(stderr, "Unable to initialize ALSA pcm device: %s\n", snd_strerror(err));
        return -1;
    }
    // The "near" calls may settle on what the device can do; the player keeps producing the
    // rate and channel count it asked for either way.
    unsigned int grantedRate = rate;
    unsigned int grantedChannels = channels;
    unsigned int bufferTime = 250000;  // microseconds: how far the audio thread renders ahead
    unsigned int periodTime = kPeriodTime;
    snd_pcm_hw_params_t* params = nullptr;
    snd_pcm_hw_params_alloca(&params);
    snd_pcm_hw_params_any(pcm, params);
    snd_pcm_hw_params_set_access(pcm, params, SND_PCM_ACCESS_RW_INTERLEAVED);
    snd_pcm_hw_params_set_format(pcm, params, SND_PCM_FORMAT_S16_LE);
    snd_pcm_hw_params_set_rate_near(pcm, params, &grantedRate, nullptr);
    snd_pcm_hw_params_set_channels_near(pcm, params, &grantedChannels);
    snd_pcm_hw_params_set_buffer_time_near(pcm, params, &bufferTime, nullptr);
    snd_pcm_hw_params_set_period_time_near(pcm, params, &periodTime, nullptr);
    snd_pcm_nonblock(pcm, 0);

    err = snd_pcm_hw_params(pcm, params);
    if (err < 0) {
        std::fprintf(stderr, "Unable to set ALSA output parameters: %s\n", snd_strerror(err));
        return -1;
    }
    err = snd_pcm_prepare(pcm);
    if (err < 0) {
        std::fprintf(stderr, "Unable to prepare ALSA: %s\n", snd_strerror(err));
        return -1;
    }
    return 0;
}

void AudioOutput::write(const void* buffer, int32_t bytes) {
    const snd_pcm_sframes_t frameCount = snd_pcm_bytes_to_frames(pcm, bytes);
    const size_t frameBytes = static_cast<size_t>(snd_pcm_frames_to_bytes(pcm, 1));
    const char* next = static_cast<const char*>(buffer);
    snd_pcm_sframes_t left = frameCount;
    while (left > 0) {
        const snd_pcm_sframes_t written = snd_pcm_writei(pcm, next, left);
        if (written < 0) {
            // Underrun (the writer was late, e.g. the process was stopped) or a suspended
            // device: start again with the next buffer; this one is lost.
            if (snd_pcm_prepare(pcm) < 0) {
                // The device is gone (its sound server died): every write would now fail at
                // once. Wait one period, as a working device would, so the audio thread does
                // not spin on a core.
                std::this_thread::sleep_for(std::chrono::microseconds(kPeriodTime));
            }
            return;
        }
        if (written == 0)
            return;  // a blocking device that takes nothing: never spin on it
        // Interrupted by a signal after part of the buffer went out: the rest follows.
        next += static_cast<size_t>(written) * frameBytes;
        left -= written;
    }
}

void AudioOutput::close() {
    if (pcm == nullptr)
        return;
    snd_pcm_drain(pcm);
    snd_pcm_close(pcm);
    pcm = nullptr;
}

}  // namespace tw

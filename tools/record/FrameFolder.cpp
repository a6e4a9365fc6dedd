#include "FrameFolder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "StopSignal.h"
#include "WavFile.h"
#include "assets/PngWriter.h"
#include "audio/MusicStream.h"

namespace tw {

FrameFolder::FrameFolder(const std::string& folder, int width, int height)
    : folder(folder), width(width), height(height), rgb(static_cast<size_t>(width) * height * 3) {}

bool FrameFolder::start(MusicStream& music, uint64_t musicFrames) {
    if (mkdir(folder.c_str(), 0777) != 0)
        return fail("cannot create folder " + folder + ": " + std::strerror(errno));
    const std::string failure = writeWav(folder + "/audio.wav", musicFrames, kMusicRate,
                                         kMusicChannels, [&](int16_t* samples, size_t frames) {
                                             music.read(samples, frames);
                                             return stopSignal() == 0;
                                         });
    if (failure == "stopped")
        return fail(failure);
    return failure.empty() || fail("audio.wav: " + failure);
}

bool FrameFolder::write(const uint8_t* pixels) {
    // Alpha is dropped, as the video drops it.
    const size_t pixelCount = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < pixelCount; ++i) {
        rgb[i * 3] = pixels[i * 4];
        rgb[i * 3 + 1] = pixels[i * 4 + 1];
        rgb[i * 3 + 2] = pixels[i * 4 + 2];
    }
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06ld.png", index);
    errno = 0;
    if (!writePng(folder + name, width, height, 3, rgb.data(), true))
        return fail(std::string("cannot write ") + (name + 1) + ": " +
                    (errno != 0 ? std::strerror(errno) : "the PNG writer failed"));
    ++index;
    return true;
}

}  // namespace tw

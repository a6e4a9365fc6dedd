#include "FrameFolder.h"

#include <sys/stat.h>

#include <algorithm>
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
    WavFile wav;
    if (!wav.open(folder + "/audio.wav", musicFrames, kMusicRate, kMusicChannels))
        return fail("audio.wav: " + wav.error());
    std::vector<int16_t> chunk(kMusicRate * kMusicChannels);
    for (uint64_t left = musicFrames; left > 0;) {
        if (stopSignal() != 0)
            return fail("stopped");
        const size_t count = static_cast<size_t>(std::min<uint64_t>(left, kMusicRate));
        music.read(chunk.data(), count);
        if (!wav.write(chunk.data(), count))
            return fail("audio.wav: " + wav.error());
        left -= count;
    }
    return wav.close() || fail("audio.wav: " + wav.error());
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

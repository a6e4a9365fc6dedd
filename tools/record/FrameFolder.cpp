#include "FrameFolder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "WavFile.h"
#include "assets/PngWriter.h"
#include "audio/MusicRender.h"

namespace tw {

FrameFolder::FrameFolder(const std::string& folder, int width, int height)
    : folder(folder), width(width), height(height), rgb(static_cast<size_t>(width) * height * 3) {}

bool FrameFolder::start(const std::vector<int16_t>& music) {
    if (mkdir(folder.c_str(), 0777) != 0)
        return fail("cannot create folder " + folder + ": " + std::strerror(errno));
    if (!writeWav(folder + "/audio.wav", music, kMusicRate, kMusicChannels))
        return fail("cannot write " + folder + "/audio.wav (disk full?)");
    return true;
}

bool FrameFolder::write(const uint8_t* pixels) {
    // Alpha is dropped, as the video drops it.
    const size_t count = static_cast<size_t>(width) * height;
    for (size_t i = 0; i < count; ++i) {
        rgb[i * 3] = pixels[i * 4];
        rgb[i * 3 + 1] = pixels[i * 4 + 1];
        rgb[i * 3 + 2] = pixels[i * 4 + 2];
    }
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%06ld.png", index);
    const std::string path = folder + name;
    if (!writePng(path, width, height, 3, rgb.data(), true))
        return fail("cannot write " + path + " (disk full?)");
    ++index;
    return true;
}

}  // namespace tw

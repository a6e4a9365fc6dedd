// tidewatch-assets DIR: writes every asset embedded in the intro to DIR, as the program holds it.
//
// The records (logo.rec, font.rec, fbm.rec) are the exact embedded bytes; the PNG files show the
// same pictures upright for people; message.txt is the scroll message; music.xm is the module
// and music.wav one pass of it as the intro plays it. One function per asset:
// a new asset adds one entry to kAssets. Files are written under a temporary name and renamed, so
// a failure leaves no half-written file.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "MusicAssets.h"
#include "assets/ImageRecord.h"
#include "assets/PngWriter.h"
#include "assets/ScrollMessage.h"

namespace {

bool writeBytes(const std::string& path, const void* data, size_t size) {
    const std::string temporary = path + ".tmp";
    FILE* file = std::fopen(temporary.c_str(), "wb");
    bool ok = file != nullptr && std::fwrite(data, 1, size, file) == size;
    if (file != nullptr)
        ok = std::fclose(file) == 0 && ok;
    ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
        std::remove(temporary.c_str());
    return ok;
}

bool writeRecord(const std::string& path, const tw::ImageRecord& record) {
    return writeBytes(path, record.bytes(), record.byteCount());
}

// The record's rows are bottom-up; the PNG is written upright.
bool writePicture(const std::string& path, const tw::ImageRecord& record) {
    const std::string temporary = path + ".tmp";
    const bool ok = tw::writePng(temporary, record.width(), record.height(), record.components(),
                                 record.pixels(), true) &&
                    std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
        std::remove(temporary.c_str());
    return ok;
}

bool writeLogoRecord(const std::string& path) {
    return writeRecord(path, tw::logoRecord());
}
bool writeFontRecord(const std::string& path) {
    return writeRecord(path, tw::fontRecord());
}
bool writeFbmRecord(const std::string& path) {
    return writeRecord(path, tw::fbmRecord());
}
bool writeLogoPng(const std::string& path) {
    return writePicture(path, tw::logoRecord());
}
bool writeFontPng(const std::string& path) {
    return writePicture(path, tw::fontRecord());
}
bool writeFbmPng(const std::string& path) {
    return writePicture(path, tw::fbmRecord());
}

// The text up to its zero bytes, as one line.
bool writeMessage(const std::string& path) {
    std::string text(tw::scrollMessage, strnlen(tw::scrollMessage, tw::kScrollMessageBytes));
    text += '\n';
    return writeBytes(path, text.data(), text.size());
}

struct Asset {
    const char* file;
    bool (*write)(const std::string& path);
};

const Asset kAssets[] = {
    {"logo.rec", writeLogoRecord},    {"font.rec", writeFontRecord},
    {"fbm.rec", writeFbmRecord},      {"logo.png", writeLogoPng},
    {"font.png", writeFontPng},       {"fbm.png", writeFbmPng},
    {"message.txt", writeMessage},    {"music.xm", tw::writeMusicModule},
    {"music.wav", tw::writeMusicWav},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: tidewatch-assets DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    // DIR may be new, but its parent must exist.
    if (mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
        std::fprintf(stderr, "tidewatch-assets: cannot create %s: %s\n", dir.c_str(),
                     std::strerror(errno));
        return 1;
    }
    struct stat info;
    if (stat(dir.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        access(dir.c_str(), W_OK | X_OK) != 0) {
        std::fprintf(stderr, "tidewatch-assets: %s is not a writable directory\n", dir.c_str());
        return 1;
    }
    for (const Asset& asset : kAssets) {
        const std::string path = dir + "/" + asset.file;
        if (!asset.write(path)) {
            std::fprintf(stderr, "tidewatch-assets: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}

// tidewatch-assets DIR: writes every asset embedded in the intro to DIR, as the program holds it.
//
// The records (logo.rec, font.rec, fbm.rec) are the exact embedded bytes; the PNG files show the
// same pictures upright for people; message.txt is the scroll message; music.xm is the module
// and music.wav one pass of it as the intro plays it. One function per asset: a new asset adds
// one entry to kAssets. Everything is written into a hidden folder beside DIR and moved into
// place only when all of it succeeded, so a failure leaves nothing behind.
#include <getopt.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "MusicAssets.h"
#include "PendingOutput.h"
#include "assets/ImageRecord.h"
#include "assets/PngWriter.h"
#include "assets/ScrollMessage.h"

namespace {

constexpr int kUsageStatus = 2;
constexpr int kFailureStatus = 1;

const char kUsage[] =
    "Usage: tidewatch-assets [OPTION]... DIR\n"
    "Writes every asset embedded in the Tidewatch intro into DIR (created if missing; its\n"
    "parent must exist): logo.rec, font.rec, fbm.rec (the embedded records), logo.png,\n"
    "font.png, fbm.png (the same pictures, upright), message.txt, music.xm (the module) and\n"
    "music.wav (one pass through the song, as the intro plays it).\n"
    "\n"
    "  --version       print the version\n"
    "  -h, --help      print this help\n"
    "\n"
    "Nothing is written unless every file is. Exit status: 0 done, 1 failure, 2 bad command\n"
    "line.\n";

// One function per picture and form, for the table below: the record's exact bytes, or the
// picture upright as PNG (the record's rows are bottom-up).
template <tw::ImageRecord (*record)()>
std::string writeRecord(const std::string& path) {
    return tw::writeFileAtomically(path, record().bytes(), record().byteCount());
}

template <tw::ImageRecord (*record)()>
std::string writePicture(const std::string& path) {
    const tw::ImageRecord picture = record();
    errno = 0;
    if (tw::writePng(path, picture.width(), picture.height(), picture.components(),
                     picture.pixels(), true))
        return "";
    return errno != 0 ? std::strerror(errno) : "the PNG writer failed";
}

// The text up to its zero bytes, as one line.
std::string writeMessage(const std::string& path) {
    std::string text(tw::scrollMessage, strnlen(tw::scrollMessage, tw::kScrollMessageBytes));
    text += '\n';
    return tw::writeFileAtomically(path, text.data(), text.size());
}

struct Asset {
    const char* file;
    std::string (*write)(const std::string& path);
};

const Asset kAssets[] = {
    {"logo.rec", writeRecord<tw::logoRecord>},
    {"font.rec", writeRecord<tw::fontRecord>},
    {"fbm.rec", writeRecord<tw::fbmRecord>},
    {"logo.png", writePicture<tw::logoRecord>},
    {"font.png", writePicture<tw::fontRecord>},
    {"fbm.png", writePicture<tw::fbmRecord>},
    {"message.txt", writeMessage},
    {"music.xm", tw::writeMusicModule},
    {"music.wav", tw::writeMusicWav},
};

int complain(const std::string& line, int status) {
    std::fprintf(stderr, "tidewatch-assets: %s\n", line.c_str());
    return status;
}

// Writes every asset into a new folder, then moves it (or, into a folder that already exists,
// each file) into place.
int exportAssets(const std::string& dir) {
    struct stat info {};
    if (stat(dir.c_str(), &info) == 0 && !S_ISDIR(info.st_mode))
        return complain(dir + " exists and is not a folder", kFailureStatus);
    tw::PendingOutput staging(dir);
    if (mkdir(staging.path().c_str(), 0777) != 0)
        return complain("cannot create " + dir + ": " + std::strerror(errno), kFailureStatus);
    for (const Asset& asset : kAssets) {
        const std::string failure = asset.write(staging.path() + "/" + asset.file);
        if (!failure.empty())
            return complain("cannot write " + std::string(asset.file) + ": " + failure,
                            kFailureStatus);
    }
    std::string error;
    if (stat(dir.c_str(), &info) != 0)
        return staging.commit(error) ? 0 : complain(error, kFailureStatus);
    for (const Asset& asset : kAssets) {
        const std::string from = staging.path() + "/" + asset.file;
        const std::string to = dir + "/" + asset.file;
        if (std::rename(from.c_str(), to.c_str()) != 0)
            return complain("cannot move " + std::string(asset.file) + " into " + dir + ": " +
                                std::strerror(errno),
                            kFailureStatus);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const option longOptions[] = {{"help", no_argument, nullptr, 'h'},
                                  {"version", no_argument, nullptr, 'V'},
                                  {nullptr, 0, nullptr, 0}};
    opterr = 0;  // the messages are ours
    for (int id; (id = getopt_long(argc, argv, "+h", longOptions, nullptr)) != -1;) {
        if (id == 'h') {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (id == 'V') {
            std::printf("tidewatch-assets %s\n", TW_VERSION);
            return 0;
        }
        return complain(std::string("unknown option '") + argv[optind - 1] + "' (see --help)",
                        kUsageStatus);
    }
    if (argc - optind != 1 || argv[optind][0] == '\0')
        return complain("expected one folder name (see --help)", kUsageStatus);
    return exportAssets(argv[optind]);
}

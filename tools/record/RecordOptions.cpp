#include "RecordOptions.h"

#include <getopt.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace tw {

namespace {

// Largest side accepted before a GL context exists; the real limit is checked later.
constexpr long kSizeCeiling = 1 << 16;

enum OptionId { kOut = 1000, kSize, kFps, kSeconds, kStart, kFrames, kStats, kReadback, kVersion };

const option kLongOptions[] = {
    {"help", no_argument, nullptr, 'h'},
    {"out", required_argument, nullptr, kOut},
    {"size", required_argument, nullptr, kSize},
    {"fps", required_argument, nullptr, kFps},
    {"seconds", required_argument, nullptr, kSeconds},
    {"start", required_argument, nullptr, kStart},
    {"frames", required_argument, nullptr, kFrames},
    {"stats", no_argument, nullptr, kStats},
    {"readback", required_argument, nullptr, kReadback},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};

bool parseLong(const char* text, long& value) {
    if (*text < '0' || *text > '9')  // no sign, no blanks
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return errno == 0 && *end == '\0';
}

bool parseSeconds(const char* text, double& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && errno == 0 && std::isfinite(value);
}

bool parseSize(const char* text, int& width, int& height) {
    const std::string size = text;
    const size_t x = size.find('x');
    if (x == std::string::npos)
        return false;
    long w = 0;
    long h = 0;
    if (!parseLong(size.substr(0, x).c_str(), w) || !parseLong(size.substr(x + 1).c_str(), h))
        return false;
    if (w <= 0 || h <= 0 || w > kSizeCeiling || h > kSizeCeiling)
        return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

// Applies one option; returns the error line, empty when it was good.
std::string applyOption(int id, const char* value, RecordOptions& options) {
    switch (id) {
        case 'h':
            options.help = true;
            return "";
        case kVersion:
            options.version = true;
            return "";
        case kStats:
            options.stats = true;
            return "";
        case kOut:
            options.out = value;
            return options.out.empty() ? "--out needs a file name" : "";
        case kFrames:
            options.framesDir = value;
            // "out/" names the folder "out", which is renamed into place at the end.
            while (options.framesDir.size() > 1 && options.framesDir.back() == '/')
                options.framesDir.pop_back();
            return options.framesDir.empty() ? "--frames needs a folder name" : "";
        case kSize:
            if (!parseSize(value, options.width, options.height))
                return "bad --size " + quoted(value) + ": expected WIDTHxHEIGHT, both positive";
            return "";
        case kFps: {
            long fps = 0;
            if (!parseLong(value, fps) || fps <= 0 || fps > 1000)
                return "bad --fps " + quoted(value) + ": expected a whole number from 1 to 1000";
            options.fps = static_cast<int>(fps);
            return "";
        }
        case kSeconds:
            if (!parseSeconds(value, options.seconds) || options.seconds <= 0.0)
                return "bad --seconds " + quoted(value) + ": expected a positive number";
            return "";
        case kStart:
            if (!parseSeconds(value, options.start) || options.start < 0.0)
                return "bad --start " + quoted(value) + ": expected a number of seconds >= 0";
            return "";
        case kReadback:
            if (std::string(value) == "pbo") {
                options.pixelBuffers = true;
            } else if (std::string(value) == "direct") {
                options.pixelBuffers = false;
            } else {
                return "bad --readback " + quoted(value) + ": expected pbo or direct";
            }
            return "";
        default:
            return "unknown option";
    }
}

bool isDirectory(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string parentOf(const std::string& path) {
    const std::string parent = std::filesystem::path(path).parent_path().string();
    return parent.empty() ? "." : parent;
}

}  // namespace

ParsedOptions parseRecordOptions(int argc, char* const argv[]) {
    ParsedOptions parsed;
    optind = 0;  // full re-initialisation, so the parser can run more than once
    opterr = 0;  // the messages are ours
    for (;;) {
        const int previous = optind == 0 ? 1 : optind;
        const int id = getopt_long(argc, argv, "+:h", kLongOptions, nullptr);
        if (id == -1)
            break;
        const std::string given = previous < argc ? argv[previous] : "";
        if (id == '?') {
            parsed.error = "unknown option " + quoted(given) + " (see --help)";
            return parsed;
        }
        if (id == ':') {
            parsed.error = "option " + quoted(given) + " needs a value";
            return parsed;
        }
        parsed.error = applyOption(id, optarg, parsed.options);
        if (!parsed.error.empty())
            return parsed;
    }
    if (optind < argc) {
        parsed.error = "unexpected argument " + quoted(argv[optind]) + " (see --help)";
        return parsed;
    }
    const RecordOptions& options = parsed.options;
    // 4:2:0 chroma covers 2x2 pixel blocks, so H.264 in yuv420p needs even sides.
    if (options.framesDir.empty() && (options.width % 2 != 0 || options.height % 2 != 0)) {
        parsed.error = "bad --size " + std::to_string(options.width) + "x" +
                       std::to_string(options.height) +
                       ": the video needs an even width and height (--frames takes any size)";
    }
    return parsed;
}

std::string checkOutputPlace(const RecordOptions& options) {
    if (!options.framesDir.empty()) {
        const std::string& dir = options.framesDir;
        const std::string parent = parentOf(dir);
        if (!isDirectory(parent))
            return "folder " + quoted(parent) + " for --frames does not exist";
        if (access(parent.c_str(), W_OK) != 0)
            return "cannot write to folder " + quoted(parent);
        std::error_code error;
        if (std::filesystem::exists(dir, error) &&
            (!isDirectory(dir) || !std::filesystem::is_empty(dir, error)))
            return "--frames " + quoted(dir) + " exists and is not an empty folder";
        return "";
    }
    const std::string parent = parentOf(options.out);
    if (!isDirectory(parent))
        return "output folder " + quoted(parent) + " does not exist";
    if (access(parent.c_str(), W_OK) != 0)
        return "cannot write to output folder " + quoted(parent);
    if (isDirectory(options.out))
        return "--out " + quoted(options.out) + " is a folder";
    return "";
}

std::string checkSizeLimit(const RecordOptions& options, int maxSize) {
    if (options.width <= maxSize && options.height <= maxSize)
        return "";
    return "bad --size " + std::to_string(options.width) + "x" + std::to_string(options.height) +
           ": the GL renders at most " + std::to_string(maxSize) + " pixels a side";
}

long frameCount(const RecordOptions& options, double songSeconds) {
    const double seconds = options.seconds > 0.0 ? options.seconds : songSeconds;
    const long frames = std::lround(seconds * options.fps);
    return frames < 1 ? 1 : frames;
}

const char* usageText() {
    return "Usage: tidewatch-record [OPTION]...\n"
           "Renders the Tidewatch intro off-screen, frame by frame, with its music, into an MP4\n"
           "video (H.264 yuv420p, AAC 44100 Hz stereo). Needs no display and no sound device;\n"
           "needs ffmpeg for the video.\n"
           "\n"
           "  --out FILE      video file to write (default tidewatch.mp4); always MP4\n"
           "  --size WxH      frame size in pixels (default 1280x720); both even for a video\n"
           "  --fps N         frames per second (default 60)\n"
           "  --seconds S     length (default one pass through the song)\n"
           "  --start S       scene and music both start S seconds in (default 0)\n"
           "  --frames DIR    write DIR/frame-000000.png ... and DIR/audio.wav instead of a\n"
           "                  video; DIR must be missing or empty\n"
           "  --stats         print recording speed and where the time went\n"
           "  --readback M    pbo (default: two pixel-buffer objects in turn) or direct\n"
           "  --version       print the version\n"
           "  -h, --help      print this help\n"
           "\n"
           "Frame i shows the scene at start + i / fps. The output appears under its name only\n"
           "when complete. Exit status: 0 done, 1 failure while recording, 2 bad command line.\n";
}

}  // namespace tw

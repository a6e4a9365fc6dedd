#include "RecordOptions.h"

#include <getopt.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace tw {

namespace {

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

// A whole number with no sign and no blanks; false also when it does not fit a long.
bool parseLong(const char* text, long& value) {
    if (*text < '0' || *text > '9')
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

// A side in pixels. One too large for an int is kept as INT_MAX, which the GL's limit then
// refuses with the real figure.
bool parseSide(const std::string& text, int& side) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    side = errno == ERANGE || value > INT_MAX ? INT_MAX : static_cast<int>(value);
    return true;
}

bool parseSize(const std::string& size, int& width, int& height) {
    const size_t x = size.find('x');
    return x != std::string::npos && parseSide(size.substr(0, x), width) &&
           parseSide(size.substr(x + 1), height);
}

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
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
            options.outGiven = true;
            if (options.out == "-")
                return "--out - is not possible: an MP4 needs a file it can seek in; name a file";
            return options.out.empty() ? "--out needs a file name" : "";
        case kFrames:
            options.framesDir = value;
            // "out/" names the folder "out", which is renamed into place at the end.
            while (options.framesDir.size() > 1 && options.framesDir.back() == '/')
                options.framesDir.pop_back();
            return options.framesDir.empty() ? "--frames needs a folder name" : "";
        case kSize:
            options.size = value;
            if (!parseSize(value, options.width, options.height))
                return "bad --size " + quoted(value) + ": expected WIDTHxHEIGHT in pixels";
            if (options.width < 1 || options.height < 1)
                return "bad --size " + quoted(value) + ": each side needs at least 1 pixel";
            return "";  // the upper limit is the GL's, checked once a context exists
        case kFps: {
            long fps = 0;
            if (!parseLong(value, fps) || fps < 1 || fps > kMaxFps)
                return "bad --fps " + quoted(value) + ": expected a whole number from 1 to " +
                       std::to_string(kMaxFps);
            options.fps = static_cast<int>(fps);
            return "";
        }
        case kSeconds:
            if (!parseSeconds(value, options.seconds) || options.seconds <= 0.0 ||
                options.seconds > kMaxSeconds)
                return "bad --seconds " + quoted(value) + ": expected more than 0 and at most " +
                       number(kMaxSeconds) + " (a day)";
            return "";
        case kStart:
            if (!parseSeconds(value, options.start) || options.start < 0.0 ||
                options.start > kMaxSeconds)
                return "bad --start " + quoted(value) + ": expected 0 to " + number(kMaxSeconds) +
                       " seconds (a day)";
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

// Where a name really leads: a symbolic link (or a chain of them, dangling or not) is followed,
// so that the finished output replaces the link's target rather than the link.
std::string followLinks(const std::string& path) {
    std::filesystem::path at(path);
    std::error_code error;
    for (int hops = 0; hops < 40 && std::filesystem::is_symlink(at, error); ++hops) {
        const std::filesystem::path target = std::filesystem::read_symlink(at, error);
        if (error)
            break;
        at = target.is_absolute() ? target : at.parent_path() / target;
    }
    return at.string();
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
    if (!options.framesDir.empty() && options.outGiven) {
        parsed.error = "--frames and --out exclude each other: pictures go to the folder only";
        return parsed;
    }
    if (!options.framesDir.empty() && options.seconds > kMaxFramesSeconds) {
        parsed.error = "bad --seconds " + number(options.seconds) + ": with --frames at most " +
                       number(kMaxFramesSeconds) + " (6 hours: what one WAV file holds)";
        return parsed;
    }
    return parsed;
}

std::string checkOutputPlace(const RecordOptions& options) {
    if (!options.framesDir.empty()) {
        const std::string dir = followLinks(options.framesDir);
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
    const std::string out = followLinks(options.out);
    const std::string parent = parentOf(out);
    if (!isDirectory(parent))
        return "output folder " + quoted(parent) + " does not exist";
    if (access(parent.c_str(), W_OK) != 0)
        return "cannot write to output folder " + quoted(parent);
    if (isDirectory(out))
        return "--out " + quoted(options.out) + " is a folder";
    return "";
}

std::string outputPath(const RecordOptions& options) {
    return followLinks(options.framesDir.empty() ? options.out : options.framesDir);
}

std::string checkSizeLimit(const RecordOptions& options, int maxSize) {
    if (options.width > maxSize || options.height > maxSize)
        return "bad --size " + quoted(options.size) + ": the GL renders at most " +
               std::to_string(maxSize) + " pixels a side";
    // 4:2:0 chroma covers 2x2 pixel blocks, so H.264 in yuv420p needs even sides.
    if (options.framesDir.empty() && (options.width % 2 != 0 || options.height % 2 != 0))
        return "bad --size " + quoted(options.size) +
               ": the video needs an even width and height (--frames takes any size)";
    return "";
}

long frameCount(const RecordOptions& options, double songSeconds) {
    const double seconds = options.seconds > 0.0 ? options.seconds : songSeconds;
    const long frames = std::lround(seconds * options.fps);  // at most a day at 240 fps
    return frames < 1 ? 1 : frames;
}

const char* usageText() {
    static const std::string text =
        "Usage: tidewatch-record [OPTION]...\n"
        "Renders the Tidewatch intro off-screen, frame by frame, with its music, into an MP4\n"
        "video (H.264 yuv420p, AAC 44100 Hz stereo). Needs no display and no sound device;\n"
        "needs ffmpeg for the video.\n"
        "\n"
        "  --out FILE      video file to write (default tidewatch.mp4); always MP4; a\n"
        "                  symbolic link's target is written\n"
        "  --size WxH      frame size in pixels (default 1280x720); both even for a video;\n"
        "                  at most the GL's largest texture a side\n"
        "  --fps N         frames per second, 1 to " +
        std::to_string(kMaxFps) +
        " (default 60)\n"
        "  --seconds S     length, at most " +
        number(kMaxSeconds) +
        " (default one pass through the song)\n"
        "  --start S       scene and music both start S seconds in, 0 to " +
        number(kMaxSeconds) +
        " (default 0)\n"
        "  --frames DIR    write DIR/frame-000000.png ... and DIR/audio.wav instead of a\n"
        "                  video; DIR must be missing or empty; at most " +
        number(kMaxFramesSeconds) +
        " seconds\n"
        "  --stats         print recording speed and where the time went\n"
        "  --readback M    pbo (default: two pixel-buffer objects in turn) or direct\n"
        "  --version       print the version\n"
        "  -h, --help      print this help\n"
        "\n"
        "Frame i shows the scene at start + i / fps. The output appears under its name only\n"
        "when complete. Exit status: 0 done, 1 failure while recording, 2 bad command line,\n"
        "130 interrupted (SIGINT), 143 terminated (SIGTERM).\n";
    return text.c_str();
}

}  // namespace tw

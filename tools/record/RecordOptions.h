// The recorder's command line: what to record, at which size and rate, and where to put it.
//
// parseRecordOptions() first; a non-empty error is the one line to print before exiting with
// status 2. Then checkOutputPlace() against the file system, and checkSizeLimit() once a GL
// context can say how large a render target may be.
#pragma once

#include <string>

#include "passes/SceneTime.h"

namespace tw {

// Upper bounds of the command line: kMaxSeconds of video, started anywhere within kMaxSeconds, at
// up to 240 frames a second; --frames stops at what one WAV file holds. Sides are further limited
// by the GL (checkSizeLimit).
constexpr double kMaxFramesSeconds = 21600.0;
constexpr int kMaxFps = 240;

struct RecordOptions {
    std::string out = "tidewatch.mp4";
    bool outGiven = false;
    std::string framesDir;          // when set: numbered PNG frames and a WAV instead of a video
    std::string size = "1280x720";  // as given, for messages
    int width = 1280;
    int height = 720;
    int fps = 60;
    double seconds = -1.0;     // negative: one pass through the song
    double start = 0.0;        // seconds into the scene and the song
    bool stats = false;        // print speed and where the time went
    bool pixelBuffers = true;  // read frames back through two pixel-buffer objects in turn
    bool help = false;
    bool version = false;
};

struct ParsedOptions {
    RecordOptions options;
    std::string error;  // empty when the command line is good
};

ParsedOptions parseRecordOptions(int argc, char* const argv[]);

// Empty when the output can be written: the video's folder exists, or the frames folder's parent
// exists and the folder itself is missing or empty.
std::string checkOutputPlace(const RecordOptions& options);

// The file or folder the finished output replaces: --out or --frames, with symbolic links
// followed.
std::string outputPath(const RecordOptions& options);

// Empty when width and height fit a render target of at most `maxSize` pixels a side and, for a
// video, are even.
std::string checkSizeLimit(const RecordOptions& options, int maxSize);

// Frames to record: the duration (or `songSeconds` when none was given) times the rate, rounded,
// at least one.
long frameCount(const RecordOptions& options, double songSeconds);

const char* usageText();

}  // namespace tw

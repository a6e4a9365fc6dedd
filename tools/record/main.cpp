// tidewatch-record: renders the intro off-screen, frame by frame, with its music, into a video
// (or numbered pictures and a WAV). Needs no display and no sound device. See --help.
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "FrameFolder.h"
#include "FrameRenderer.h"
#include "PendingOutput.h"
#include "Progress.h"
#include "RecordOptions.h"
#include "RecordStats.h"
#include "StopSignal.h"
#include "VideoEncoder.h"
#include "audio/MusicStream.h"
#include "gl/GlExtensionTable.h"
#include "gl/OffscreenContext.h"
#include "gl/RenderTarget.h"
#include "gl/Timer.h"
#include "passes/FrameDriver.h"

namespace {

constexpr int kUsageStatus = 2;
constexpr int kFailureStatus = 1;

int complain(const std::string& line, int status) {
    if (isatty(STDERR_FILENO) == 1)
        std::fputs("\r\033[K", stderr);  // over the progress line drawn in place
    std::fprintf(stderr, "tidewatch-record: %s\n", line.c_str());
    return status;
}

// As long as the frames, so both streams end together.
uint64_t musicFrames(long frames, int fps) {
    return static_cast<uint64_t>(std::llround(static_cast<double>(frames) * tw::kMusicRate / fps));
}

std::unique_ptr<tw::FrameSink> makeSink(const tw::RecordOptions& options, const std::string& path,
                                        long frames) {
    if (!options.framesDir.empty())
        return std::make_unique<tw::FrameFolder>(path, options.width, options.height);
    return std::make_unique<tw::VideoEncoder>(path, options.width, options.height, options.fps,
                                              frames);
}

// Renders every frame into the sink, with the music as it goes; the output appears under its
// name only on success.
int record(const tw::RecordOptions& options, tw::MusicStream& music, long frames,
           std::string& error) {
    tw::StageTimes times;
    tw::Timer setupTimer;
    tw::FrameRenderer renderer(options.width, options.height, options.pixelBuffers, options.stats,
                               tw::OffscreenContext::resolve, times);
    if (const tw::FrameDriver::Failure* failure = renderer.failure()) {
        std::fprintf(stderr, "%s\n", failure->log.c_str());
        error = failure->line;
        return kFailureStatus;
    }
    music.seek(options.start);

    // From here on there is output to remove, so a signal lets the loop unwind.
    tw::holdStopSignals();
    if (tw::stopSignal() != 0) {
        error = std::string(tw::stopReason(tw::stopSignal())) + "; nothing written";
        return 128 + tw::stopSignal();
    }
    tw::PendingOutput output(tw::outputPath(options));
    const std::unique_ptr<tw::FrameSink> sink = makeSink(options, output.path(), frames);
    auto failed = [&]() {
        const int signal = tw::stopSignal();
        if (signal != 0)
            error = std::string(tw::stopReason(signal)) + "; nothing written";
        else
            error = renderer.error().empty() ? sink->error() : renderer.error();
        return signal != 0 ? 128 + signal : kFailureStatus;
    };
    if (!sink->start(music, musicFrames(frames, options.fps)))
        return failed();
    times.setup = setupTimer.elapsed();

    tw::Progress progress(frames, STDERR_FILENO);
    tw::Timer loopTimer;
    long delivered = 0;
    auto deliver = [&](const uint8_t* pixels) {
        if (pixels == nullptr)
            return renderer.error().empty();
        const double mark = tw::Timer::now();
        const bool written = sink->write(pixels);
        times.encode += tw::Timer::now() - mark;
        progress.update(++delivered);
        return written;
    };
    for (long i = 0; i < frames; ++i) {
        const double time = options.start + static_cast<double>(i) / options.fps;
        if (tw::stopSignal() != 0 || !deliver(renderer.render(static_cast<float>(time))))
            return failed();
    }
    const double mark = tw::Timer::now();
    if (!deliver(renderer.finish()) || !sink->finish() || tw::stopSignal() != 0)
        return failed();
    times.encode += tw::Timer::now() - mark;
    progress.finish();
    if (!output.commit(error))
        return kFailureStatus;

    if (options.stats)
        std::printf("%s\n", tw::describeStats(times, frames, options.width, options.height,
                                              loopTimer.elapsed())
                                .c_str());
    const std::string& target = options.framesDir.empty() ? options.out : options.framesDir;
    std::printf("wrote %s (%ld frame%s at %d fps, %dx%d)\n", target.c_str(), frames,
                frames == 1 ? "" : "s", options.fps, options.width, options.height);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Command line
    const tw::ParsedOptions parsed = tw::parseRecordOptions(argc, argv);
    if (!parsed.error.empty())
        return complain(parsed.error, kUsageStatus);
    const tw::RecordOptions& options = parsed.options;
    if (options.help) {
        std::fputs(tw::usageText(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("tidewatch-record %s\n", TW_VERSION);
        return 0;
    }
    std::string problem = tw::checkOutputPlace(options);
    if (!problem.empty())
        return complain(problem, kUsageStatus);
    tw::catchStopSignals();

    // The music player, off-screen GL, then the size it can render
    tw::MusicStream music;
    if (!music.error().empty())
        return complain(music.error(), kFailureStatus);
    tw::OffscreenContext context;
    if (!context.open())
        return complain("no off-screen GL context: " + context.error(), kFailureStatus);
    const char* missing = nullptr;
    if (!tw::loadGlExtensions(tw::OffscreenContext::resolve, &missing))
        return complain(std::string("the GL lacks ") + missing, kFailureStatus);
    problem = tw::checkSizeLimit(options, tw::maxRenderSize());
    if (!problem.empty())
        return complain(problem, kUsageStatus);

    // Recording
    std::string error;
    const int status = record(options, music, tw::frameCount(options, music.songSeconds()), error);
    if (status != 0)
        return complain(error, status);
    return 0;
}

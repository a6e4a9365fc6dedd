// tidewatch-record: renders the intro off-screen, frame by frame, with its music, into a video
// (or numbered pictures and a WAV). Needs no display and no sound device. See --help.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "FrameFolder.h"
#include "FrameRenderer.h"
#include "PendingOutput.h"
#include "Progress.h"
#include "RecordOptions.h"
#include "RecordStats.h"
#include "VideoEncoder.h"
#include "app/StartupFailure.h"
#include "app/Timer.h"
#include "audio/MusicRender.h"
#include "gl/GlExtensionTable.h"
#include "gl/OffscreenContext.h"

namespace {

constexpr int kUsageStatus = 2;
constexpr int kFailureStatus = 1;
constexpr int kInterruptedStatus = 130;

volatile sig_atomic_t stopRequested = 0;

void onStopSignal(int) {
    stopRequested = 1;
}

void catchSignals() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;  // no SA_RESTART: a blocked pipe write returns early
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGPIPE, SIG_IGN);  // a vanished ffmpeg shows as EPIPE, then as its exit status
}

int complain(const std::string& line, int status) {
    std::fprintf(stderr, "tidewatch-record: %s\n", line.c_str());
    return status;
}

// The largest side a render target, its depth buffer and the viewport all accept.
int maxRenderSize() {
    GLint texture = 0;
    GLint renderbuffer = 0;
    GLint viewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &texture);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE_EXT, &renderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewport);
    return std::min({texture, renderbuffer, viewport[0], viewport[1]});
}

std::unique_ptr<tw::FrameSink> makeSink(const tw::RecordOptions& options, const std::string& path) {
    if (!options.framesDir.empty())
        return std::make_unique<tw::FrameFolder>(path, options.width, options.height);
    return std::make_unique<tw::VideoEncoder>(path, options.width, options.height, options.fps);
}

// Renders every frame into the sink; the output appears under its name only on success.
int record(const tw::RecordOptions& options, std::string& error) {
    tw::StageTimes times;
    tw::Timer setupTimer;
    tw::FrameRenderer renderer(options.width, options.height, options.pixelBuffers, options.stats,
                               tw::OffscreenContext::resolve, times);
    const long frames = tw::frameCount(options, tw::musicSongSeconds());
    // As long as the frames, so both streams end together.
    const std::vector<int16_t> music =
        tw::renderMusic(options.start, static_cast<double>(frames) / options.fps);
    const std::string& target = options.framesDir.empty() ? options.out : options.framesDir;
    tw::PendingOutput output(target);
    const std::unique_ptr<tw::FrameSink> sink = makeSink(options, output.path());
    if (!sink->start(music)) {
        error = sink->error();
        return kFailureStatus;
    }
    times.setup = setupTimer.elapsed();

    tw::Progress progress(frames, STDERR_FILENO);
    tw::Timer loopTimer;
    long delivered = 0;
    auto deliver = [&](const uint8_t* pixels) {
        if (pixels == nullptr)
            return true;
        const double mark = tw::Timer::now();
        const bool written = sink->write(pixels);
        times.encode += tw::Timer::now() - mark;
        progress.update(++delivered);
        return written;
    };
    for (long i = 0; i < frames; ++i) {
        if (stopRequested) {
            error = "stopped by a signal; nothing written";
            return kInterruptedStatus;
        }
        const double time = options.start + static_cast<double>(i) / options.fps;
        if (!deliver(renderer.render(static_cast<float>(time)))) {
            error = sink->error();
            return kFailureStatus;
        }
    }
    const double mark = tw::Timer::now();
    if (!deliver(renderer.finish()) || !sink->finish()) {
        error = sink->error();
        return kFailureStatus;
    }
    times.encode += tw::Timer::now() - mark;
    progress.finish();
    if (!output.commit(error))
        return kFailureStatus;

    if (options.stats)
        std::printf("%s\n", tw::describeStats(times, frames, options.width, options.height,
                                              loopTimer.elapsed())
                                .c_str());
    std::printf("wrote %s (%ld frames at %d fps, %dx%d)\n", target.c_str(), frames, options.fps,
                options.width, options.height);
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

    // Off-screen GL, then the size it can render
    tw::OffscreenContext context;
    if (!context.open())
        return complain("no off-screen GL context: " + context.error(), kFailureStatus);
    if (!tw::loadGlExtensions(tw::OffscreenContext::resolve))
        tw::failStartup("Load OGL extensions : ERROR");
    problem = tw::checkSizeLimit(options, maxRenderSize());
    if (!problem.empty())
        return complain(problem, kUsageStatus);

    // Recording
    catchSignals();
    std::string error;
    const int status = record(options, error);
    if (status != 0)
        return complain(error, status);
    return 0;
}

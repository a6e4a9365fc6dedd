#include "VideoEncoder.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "ChildProcess.h"
#include "StopSignal.h"
#include "audio/MusicStream.h"

namespace tw {

namespace {

constexpr int kPipeBytes = 1 << 20;  // fewer wake-ups than the default 64 KiB
constexpr int kPollMs = 100;         // how often a wait looks for a stop signal

// Starts `args` in a process group of its own, with `in`, `out` and `err` as its standard
// descriptors (-1: /dev/null) and `extra`, when not -1, as its descriptor 3.
pid_t startQuiet(const std::vector<std::string>& args, int in, int out, int err, int extra,
                 std::string& error) {
    auto orNull = [](int fd) { return fd >= 0 ? fd : SpawnOptions::kDevNull; };
    SpawnOptions options;
    options.in = orNull(in);
    options.out = orNull(out);
    options.err = orNull(err);
    options.extra = extra;
    options.ownGroup = true;
    return spawnProcess(args, options, error);
}

// Waits for `pid`; false when a stop signal came first, after killing its process group.
bool waitFor(pid_t pid, int& status) {
    for (;;) {
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid || (ended < 0 && errno != EINTR))
            return true;
        if (stopSignal() != 0) {
            kill(-pid, SIGKILL);
            waitpid(pid, &status, 0);
            return false;
        }
        poll(nullptr, 0, kPollMs / 5);
    }
}

// Writes what the descriptor takes now; false when the reader has gone.
bool pushSome(const pollfd& ready, const uint8_t*& data, size_t& left) {
    if (ready.fd < 0 || ready.revents == 0)
        return true;
    const ssize_t written = ::write(ready.fd, data, left);
    if (written < 0)
        return errno == EAGAIN || errno == EINTR;
    data += written;
    left -= static_cast<size_t>(written);
    return true;
}

bool makePipe(int& readEnd, int& writeEnd, std::string& error) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) {
        error = std::string("cannot create a pipe for ffmpeg: ") + std::strerror(errno);
        return false;
    }
    readEnd = ends[0];
    writeEnd = ends[1];
    fcntl(writeEnd, F_SETPIPE_SZ, kPipeBytes);  // only a hint; the default size works too
    fcntl(writeEnd, F_SETFL, O_NONBLOCK);       // our end only: poll() decides when to write
    return true;
}

}  // namespace

VideoEncoder::VideoEncoder(const std::string& videoPath, int width, int height, int fps,
                           long frames)
    : videoPath(videoPath), width(width), height(height), fps(fps), frames(frames) {}

VideoEncoder::~VideoEncoder() {
    closePipes();
    if (child > 0) {
        kill(-child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    if (messages >= 0)
        close(messages);
}

void VideoEncoder::closePipes() {
    for (int* fd : {&videoIn, &audioIn}) {
        if (*fd >= 0)
            close(*fd);
        *fd = -1;
    }
}

bool VideoEncoder::start(MusicStream& stream, uint64_t musicFrames) {
    music = &stream;
    musicLeft = musicFrames;
    messages = memfd_create("ffmpeg-messages", MFD_CLOEXEC);
    if (messages < 0)
        return fail(std::string("cannot keep ffmpeg's messages: ") + std::strerror(errno));
    std::string error;
    int videoOut = -1;
    int audioOut = -1;
    if (!makePipe(videoOut, videoIn, error) || !makePipe(audioOut, audioIn, error))
        return fail(error);
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    child = startQuiet({"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostats", "-y",
                        // frames: GL's rows run bottom-up, so the filter stands them upright
                        "-f", "rawvideo", "-pix_fmt", "rgba", "-video_size", size, "-framerate",
                        std::to_string(fps), "-i", "pipe:0", "-f", "s16le", "-ar",
                        std::to_string(kMusicRate), "-ac", std::to_string(kMusicChannels), "-i",
                        "pipe:3", "-map", "0:v:0", "-map", "1:a:0", "-vf", "vflip", "-c:v",
                        "libx264", "-preset", "medium", "-crf", "16", "-pix_fmt", "yuv420p", "-c:a",
                        "aac", "-b:a", "192k", "-movflags", "+faststart", "-f", "mp4", videoPath},
                       videoOut, -1, messages, audioOut, error);
    close(videoOut);
    close(audioOut);
    return child > 0 || fail(error);
}

bool VideoEncoder::write(const uint8_t* pixels) {
    return send(pixels, static_cast<size_t>(width) * height * 4);
}

bool VideoEncoder::finish() {
    close(videoIn);  // end of the frames; the rest of the music still goes
    videoIn = -1;
    if (!send(nullptr, 0))
        return false;
    closePipes();  // end of input: ffmpeg flushes the encoder and writes the index
    return reap() && check();
}

bool VideoEncoder::send(const uint8_t* pixels, size_t bytes) {
    constexpr uint64_t kChunkFrames = 4096;
    // Until the frame is taken (or, with no frame, the music is all taken).
    while (bytes > 0 || (pixels == nullptr && audioIn >= 0)) {
        if (stopSignal() != 0)
            return fail("stopped");
        if (chunkAt == chunk.size() && musicLeft > 0) {
            const size_t count = static_cast<size_t>(std::min(musicLeft, kChunkFrames));
            chunk.resize(count * kMusicChannels * sizeof(int16_t));
            music->read(reinterpret_cast<int16_t*>(chunk.data()), count);
            chunkAt = 0;
            musicLeft -= count;
        }
        if (chunkAt == chunk.size() && musicLeft == 0 && audioIn >= 0) {
            close(audioIn);  // all the music is in ffmpeg's hands
            audioIn = -1;
            continue;
        }
        pollfd ready[2] = {{bytes > 0 ? videoIn : -1, POLLOUT, 0}, {audioIn, POLLOUT, 0}};
        if (poll(ready, 2, kPollMs) <= 0)
            continue;
        const uint8_t* audio = chunk.data() + chunkAt;
        size_t audioBytes = chunk.size() - chunkAt;
        if (!pushSome(ready[0], pixels, bytes) || !pushSome(ready[1], audio, audioBytes)) {
            // ffmpeg has gone; its exit status says more than the broken pipe.
            closePipes();
            return reap() && fail("ffmpeg stopped reading its input");
        }
        chunkAt = chunk.size() - audioBytes;
    }
    return true;
}

bool VideoEncoder::reap() {
    int status = 0;
    const bool ended = waitFor(child, status);
    child = -1;
    if (!ended)
        return fail("stopped");
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    if (WIFSIGNALED(status))
        return failWithMessages("ffmpeg was killed by signal " + std::to_string(WTERMSIG(status)));
    return failWithMessages("ffmpeg failed with exit status " +
                            std::to_string(WEXITSTATUS(status)));
}

bool VideoEncoder::check() {
    const int out = memfd_create("ffprobe-output", MFD_CLOEXEC);
    std::string error;
    const pid_t probe =
        out < 0 ? -1
                : startQuiet({"ffprobe", "-v", "error", "-count_packets", "-show_entries",
                              "stream=codec_type,nb_read_packets", "-of", "csv=p=0", videoPath},
                             -1, out, -1, -1, error);
    int status = 0;
    const bool ended = probe > 0 && waitFor(probe, status);
    const std::string streams = out >= 0 ? readWhole(out) : "";
    if (out >= 0)
        close(out);
    if (stopSignal() != 0)
        return fail("stopped");
    if (probe < 0)
        return fail(error.empty() ? "cannot check the video" : error);
    const std::string wanted = "video," + std::to_string(frames) + "\n";
    const bool complete = ended && WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
                          streams.find(wanted) != std::string::npos &&
                          streams.find("audio,") != std::string::npos;
    if (readWhole(messages).find("No space left on device") != std::string::npos)
        return fail("no space left on the device for the video");
    if (!complete)
        return fail("the video ffmpeg wrote is incomplete (expected " + std::to_string(frames) +
                    " frames and sound)");
    return true;
}

bool VideoEncoder::failWithMessages(const std::string& what) {
    const std::string text = messages >= 0 ? readWhole(messages) : "";
    // A full disk is common and fully said in one line; anything else shows ffmpeg's own words.
    if (text.find("No space left on device") != std::string::npos)
        return fail("no space left on the device for the video");
    std::fputs(text.c_str(), stderr);
    return fail(what);
}

}  // namespace tw

#include "VideoEncoder.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "WavFile.h"
#include "audio/MusicRender.h"

extern char** environ;

namespace tw {

namespace {

constexpr int kPipeBytes = 1 << 20;  // fewer wake-ups than the default 64 KiB

}  // namespace

VideoEncoder::VideoEncoder(const std::string& videoPath, int width, int height, int fps)
    : videoPath(videoPath), audio(videoPath + ".wav"), width(width), height(height), fps(fps) {}

VideoEncoder::~VideoEncoder() {
    if (pipeIn >= 0)
        close(pipeIn);
    if (child > 0) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
    }
}

bool VideoEncoder::start(const std::vector<int16_t>& music) {
    if (!writeWav(audio.path(), music, kMusicRate, kMusicChannels))
        return fail("cannot write the music to " + audio.path() + " (disk full?)");
    return spawn();
}

bool VideoEncoder::spawn() {
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    const std::string rate = std::to_string(fps);
    const char* argv[] = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-nostats", "-y",
                          // frames: GL's rows run bottom-up, so the filter stands them upright
                          "-f", "rawvideo", "-pix_fmt", "rgba", "-video_size", size.c_str(),
                          "-framerate", rate.c_str(), "-i", "pipe:0", "-i", audio.path().c_str(),
                          "-map", "0:v:0", "-map", "1:a:0", "-vf", "vflip", "-c:v", "libx264",
                          "-preset", "medium", "-crf", "16", "-pix_fmt", "yuv420p", "-c:a", "aac",
                          "-b:a", "192k", "-ar", "44100", "-ac", "2", "-movflags", "+faststart",
                          "-f", "mp4", videoPath.c_str(), nullptr};
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return fail(std::string("cannot create a pipe for ffmpeg: ") + std::strerror(errno));
    fcntl(ends[1], F_SETPIPE_SZ, kPipeBytes);  // only a hint; the default size works too

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, ends[0], STDIN_FILENO);
    const int result =
        posix_spawnp(&child, "ffmpeg", &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(ends[0]);
    if (result != 0) {
        child = -1;
        close(ends[1]);
        return fail(std::string("cannot run ffmpeg: ") + std::strerror(result) +
                    (result == ENOENT ? " (is ffmpeg installed and on PATH?)" : ""));
    }
    pipeIn = ends[1];
    return true;
}

bool VideoEncoder::write(const uint8_t* pixels) {
    size_t left = static_cast<size_t>(width) * height * 4;
    while (left > 0) {
        const ssize_t written = ::write(pipeIn, pixels, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0) {
            // ffmpeg has gone; its exit status says more than the broken pipe.
            close(pipeIn);
            pipeIn = -1;
            if (!reap())
                return false;
            return fail("ffmpeg stopped reading frames");
        }
        pixels += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

bool VideoEncoder::finish() {
    close(pipeIn);  // end of input: ffmpeg flushes the encoder and writes the index
    pipeIn = -1;
    return reap();
}

bool VideoEncoder::reap() {
    int status = 0;
    pid_t ended;
    do {
        ended = waitpid(child, &status, 0);
    } while (ended < 0 && errno == EINTR);
    child = -1;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return true;
    if (WIFSIGNALED(status))
        return fail("ffmpeg was killed by signal " + std::to_string(WTERMSIG(status)));
    return fail("ffmpeg failed with exit status " + std::to_string(WEXITSTATUS(status)) +
                " (its message is above; disk full?)");
}

}  // namespace tw

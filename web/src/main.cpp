// The browser edition's entry points, called by the page (web/page.js): no main(); the page
// decides when to start, which clock drives the frames and when the sound begins.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "SongLayout.h"
#include "WebIntro.h"
#include "WebMusic.h"
#include "gl/GlExtensionTable.h"

namespace {

tw::WebIntro intro;
tw::WebMusic music;
// Planar stereo for the audio callback: left in the first half, right in the second.
constexpr int kMaxFillFrames = 16384;
float fillBuffer[2 * kMaxFillFrames];

}  // namespace

extern "C" {

// 0 when running; 1 without WebGL 2; 2 when a program failed to build (its line on standard
// output, the compiler log on standard error, as on the desktop); 3 when a fixed size is beyond
// what this GL can render to (its line on standard output).
EMSCRIPTEN_KEEPALIVE int tw_start(int width, int height, int fixedSize) {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = false;
    attributes.depth = false;
    attributes.antialias = false;
    attributes.powerPreference = EM_WEBGL_POWER_PREFERENCE_HIGH_PERFORMANCE;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context("#canvas", &attributes);
    if (context <= 0 || emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS)
        return 1;
    tw::loadGlExtensions();
    GLint maxTexture = 0;
    GLint maxRenderbuffer = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &maxRenderbuffer);
    const int largest = std::min(maxTexture, maxRenderbuffer);
    if (fixedSize != 0 && (width > largest || height > largest)) {
        std::printf("size=%dx%d is beyond this browser's largest picture, %d pixels a side.\n",
                    width, height, largest);
        return 3;
    }
    if (!intro.start(width, height, fixedSize != 0)) {
        std::printf("%s\n", intro.failureLine().c_str());
        std::fprintf(stderr, "%s\n", intro.failureLog().c_str());
        return 2;
    }
    return 0;
}

// After the browser restored a lost context: 0 when everything that lived in it is rebuilt,
// 2 (with the lines of tw_start) when a program failed to build again.
EMSCRIPTEN_KEEPALIVE int tw_restore() {
    if (!intro.restore()) {
        std::printf("%s\n", intro.failureLine().c_str());
        std::fprintf(stderr, "%s\n", intro.failureLog().c_str());
        return 2;
    }
    return 0;
}

EMSCRIPTEN_KEEPALIVE void tw_frame(double time, int canvasWidth, int canvasHeight) {
    intro.frame(static_cast<float>(time), canvasWidth, canvasHeight);
}

// Renders `frames` frames of the scene from `time` on, waits for the GL and returns the
// milliseconds a frame took (the page's benchmark).
EMSCRIPTEN_KEEPALIVE double tw_bench(double time, int frames, int canvasWidth, int canvasHeight) {
    unsigned char pixel[4];
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    const double begin = emscripten_get_now();
    for (int i = 0; i < frames; ++i)
        intro.frame(static_cast<float>(time + i / 30.0), canvasWidth, canvasHeight);
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    return (emscripten_get_now() - begin) / frames;
}

// 0 when the music plays from `startSeconds`; 1 when the module failed to load (the failed
// player step on standard output).
EMSCRIPTEN_KEEPALIVE int tw_music_start(double startSeconds) {
    const std::string failure = music.start(startSeconds);
    if (!failure.empty()) {
        std::printf("%s\n", failure.c_str());
        return 1;
    }
    return 0;
}

// The next `frames` (at most 16384) frames, planar; the pointer stays valid until the next call.
EMSCRIPTEN_KEEPALIVE float* tw_music_fill(int frames) {
    if (frames > kMaxFillFrames)
        frames = kMaxFillFrames;
    music.fill(fillBuffer, fillBuffer + frames, frames);
    return fillBuffer;
}

// The song's length and where its loop starts, in seconds, for the page's time and seek bar;
// both 0 when the module did not load.
EMSCRIPTEN_KEEPALIVE double tw_song_seconds() {
    return tw::readSongLayout().seconds;
}

EMSCRIPTEN_KEEPALIVE double tw_song_loop_start() {
    return tw::readSongLayout().loopStart;
}

}  // extern "C"

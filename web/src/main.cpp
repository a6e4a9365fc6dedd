// The browser edition's entry points, called by the page (web/page.js): no main(); the page
// decides when to start, which clock drives the frames and when the sound begins.
#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <string>

#include "PageCodes.h"
#include "SongLayout.h"
#include "WebIntro.h"
#include "WebMusic.h"
#include "gl/GlExtensionTable.h"
#include "gl/RenderTarget.h"

namespace {

using tw::kBuildFailed;
using tw::kContextLost;
using tw::kGlFailed;
using tw::kOk;

tw::WebIntro intro;
tw::WebMusic music;
// A look at the GL's error flag asks the GPU process and waits; errors stay flagged until
// looked at, so one look every so many frames still catches each of them.
constexpr int kFramesBetweenErrorChecks = 30;
int framesSinceErrorCheck = 0;
// Planar stereo for the audio callback: left in the first half, right in the second.
constexpr int kMaxFillFrames = 16384;
float fillBuffer[2 * kMaxFillFrames];

// A lost context turns every new program and shader into null in the browser's GL layer, and
// the first call that needs one throws: nothing may be built or drawn on it.
bool contextLost() {
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = emscripten_webgl_get_current_context();
    return context != 0 && emscripten_is_webgl_context_lost(context);
}

// kOk, kContextLost or kGlFailed (saying which error and where) from the GL's error flag.
int glStatus(const char* where) {
    const GLenum error = glGetError();
    framesSinceErrorCheck = 0;
    if (error == GL_NO_ERROR)
        return kOk;
    if (contextLost())
        return kContextLost;
    std::printf("GL error 0x%04x %s.\n", error, where);
    return kGlFailed;
}

// glStatus() after a rebuild: the old context's objects, deleted on the way, belong to no context
// now, and deleting them flags GL_INVALID_OPERATION; any other error is the rebuild's own.
int rebuildGlStatus() {
    GLenum error = GL_INVALID_OPERATION;
    // Each distinct error has its own flag; each look clears one.
    for (int look = 0; look < 8 && error == GL_INVALID_OPERATION; ++look)
        error = glGetError();
    if (error == GL_INVALID_OPERATION || error == GL_NO_ERROR)
        return kOk;
    if (contextLost())
        return kContextLost;
    std::printf("GL error 0x%04x while rebuilding the intro.\n", error);
    return kGlFailed;
}

// tw_start's and tw_restore's code for a program that failed to build: its lines, as on the
// desktop.
int buildFailed() {
    if (contextLost())
        return kContextLost;
    std::printf("%s\n", intro.failureLine().c_str());
    std::fprintf(stderr, "%s\n", intro.failureLog().c_str());
    return kBuildFailed;
}

}  // namespace

extern "C" {

// One of PageCodes.h: kOk, kNoWebGl2, kBuildFailed, kSizeTooLarge, kContextLost, kGlFailed.
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
        return tw::kNoWebGl2;
    if (contextLost())
        return kContextLost;
    tw::loadGlExtensions();
    const int largest = tw::maxRenderSize();
    if (fixedSize != 0 && (width > largest || height > largest)) {
        std::printf("size=%dx%d is beyond this browser's largest picture, %d pixels a side.\n",
                    width, height, largest);
        return tw::kSizeTooLarge;
    }
    if (!intro.start(width, height, fixedSize != 0))
        return buildFailed();
    return glStatus("while building the intro");
}

// After the browser restored a lost context: kOk when everything that lived in it is
// rebuilt; kBuildFailed (with the lines of tw_start) when a program failed to build again;
// kContextLost when it is gone again already (a later restore rebuilds); kGlFailed.
EMSCRIPTEN_KEEPALIVE int tw_restore() {
    if (contextLost())
        return kContextLost;
    if (!intro.restore())
        return buildFailed();
    return rebuildGlStatus();
}

// kOk when the frame is drawn; kContextLost (nothing drawn); kGlFailed. `held` (non-zero) for a
// picture drawn while play stands, which the calibration never times.
EMSCRIPTEN_KEEPALIVE int tw_frame(double time, int canvasWidth, int canvasHeight, int held) {
    if (contextLost())
        return kContextLost;
    intro.frame(static_cast<float>(time), canvasWidth, canvasHeight, held != 0);
    if (++framesSinceErrorCheck < kFramesBetweenErrorChecks)
        return kOk;
    return glStatus("in a frame");
}

// Frames of play stop coming (a pause, a hidden page): the time until the next is never timed.
EMSCRIPTEN_KEEPALIVE void tw_hold() {
    intro.hold();
}

// The size the passes render at now, which the calibration may have lowered.
EMSCRIPTEN_KEEPALIVE int tw_render_width() {
    return intro.renderSize().width;
}

EMSCRIPTEN_KEEPALIVE int tw_render_height() {
    return intro.renderSize().height;
}

// Renders `frames` frames of the scene from `time` on, waits for the GL and returns the
// milliseconds a frame took (the page's benchmark).
EMSCRIPTEN_KEEPALIVE double tw_bench(double time, int frames, int canvasWidth, int canvasHeight) {
    unsigned char pixel[4];
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    const double begin = emscripten_get_now();
    for (int i = 0; i < frames; ++i)
        intro.frame(static_cast<float>(time + i / 30.0), canvasWidth, canvasHeight, false);
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

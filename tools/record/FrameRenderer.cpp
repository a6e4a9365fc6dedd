#include "FrameRenderer.h"

#include <cstring>

#include "gl/Timer.h"
#include "passes/GlResources.h"

namespace tw {

FrameRenderer::FrameRenderer(int width, int height, bool pixelBuffers, bool separateStages,
                             GlResolver resolve, StageTimes& times)
    : width(width),
      height(height),
      separateStages(separateStages),
      times(times),
      pixels(static_cast<size_t>(width) * height * 4) {
    prepareGlResources(width, height);
    driver = std::make_unique<FrameDriver>(
        RenderSize{width, height}, FrameDriver::Options{.calibrate = false, .stretch = false});
    if (driver->failure() != nullptr)
        return;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);

    // Mapping is not among the intro's entry points; without it, read back directly.
    mapBuffer = reinterpret_cast<PFNGLMAPBUFFERARBPROC>(resolve("glMapBufferARB"));
    unmapBuffer = reinterpret_cast<PFNGLUNMAPBUFFERARBPROC>(resolve("glUnmapBufferARB"));
    if (pixelBuffers && mapBuffer != nullptr && unmapBuffer != nullptr) {
        glGenBuffersARB(2, packBuffers);
        for (GLuint buffer : packBuffers) {
            glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, buffer);
            glBufferDataARB(GL_PIXEL_PACK_BUFFER_ARB, static_cast<GLsizeiptrARB>(pixels.size()),
                            nullptr, GL_STREAM_READ_ARB);
        }
        glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, 0);
    }
}

FrameRenderer::~FrameRenderer() {
    if (packBuffers[0] != 0)
        glDeleteBuffersARB(2, packBuffers);
}

const uint8_t* FrameRenderer::render(float time) {
    double mark = Timer::now();
    driver->render(time);
    if (separateStages)
        glFinish();
    double now = Timer::now();
    times.render += now - mark;
    mark = now;

    // The post pass's framebuffer still holds the finished frame; its colour attachment is the
    // read buffer.
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, driver->output().framebuffer());
    const GLuint buffer = packBuffers[rendered % 2];
    if (buffer != 0) {
        glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, buffer);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, 0);
    } else {
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    ++rendered;

    const uint8_t* ready = nullptr;
    if (buffer == 0) {
        ready = pixels.data();
        collected = rendered;
    } else if (rendered - collected == 2) {
        ready = collect(static_cast<int>(collected % 2));
    }
    times.readback += Timer::now() - mark;
    return ready;
}

const uint8_t* FrameRenderer::finish() {
    if (rendered == collected)
        return nullptr;
    const double mark = Timer::now();
    const uint8_t* ready = collect(static_cast<int>(collected % 2));
    times.readback += Timer::now() - mark;
    return ready;
}

// Copies out of the mapped buffer, so the buffer is free for the next read at once. A buffer
// that cannot be mapped fails the recording: `pixels` still holds the previous frame.
const uint8_t* FrameRenderer::collect(int buffer) {
    glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, packBuffers[buffer]);
    const void* mapped = mapBuffer(GL_PIXEL_PACK_BUFFER_ARB, GL_READ_ONLY_ARB);
    if (mapped == nullptr) {
        glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, 0);
        failed = "the GL could not map the pixel buffer of frame " + std::to_string(collected);
        return nullptr;
    }
    std::memcpy(pixels.data(), mapped, pixels.size());
    unmapBuffer(GL_PIXEL_PACK_BUFFER_ARB);
    glBindBufferARB(GL_PIXEL_PACK_BUFFER_ARB, 0);
    ++collected;
    return pixels.data();
}

}  // namespace tw

// Renders the intro's frames off-screen at one fixed size and reads them back into memory.
//
// Construct with the off-screen context current and the extension table loaded: it sets up GL
// and the frame driver exactly as the intro does (prepareGlResources, FrameDriver) at the recording
// size, which the driver keeps; check failure() before rendering: non-null when a pass did not
// build. render(time) once per
// frame; it returns the pixels of the oldest frame whose read-back is complete, or null while the
// first one is still in flight. After the last frame, finish() returns the one still in flight (or
// null). Pixels are RGBA rows, bottom row first, valid until the next call.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "RecordStats.h"
#include "gl/GlExtensionTable.h"
#include "passes/FrameDriver.h"

namespace tw {

class FrameRenderer {
  public:
    // With `pixelBuffers` the read of frame i overlaps the rendering of frame i + 1. With
    // `separateStages` the GL finishes each stage before the next, so `times` shows where the
    // time goes, at the cost of that overlap.
    FrameRenderer(int width, int height, bool pixelBuffers, bool separateStages, GlResolver resolve,
                  StageTimes& times);
    ~FrameRenderer();
    FrameRenderer(const FrameRenderer&) = delete;
    FrameRenderer& operator=(const FrameRenderer&) = delete;

    // Null when every pass built; otherwise which did not, and its log.
    const FrameDriver::Failure* failure() const { return driver->failure(); }
    // Null while the frame is in flight (the first of a pair), or, with error() set, when the
    // finished frame could not be read back.
    const uint8_t* render(float time);
    const uint8_t* finish();
    const std::string& error() const { return failed; }

  private:
    const uint8_t* collect(int buffer);

    int width;
    int height;
    bool separateStages;
    StageTimes& times;
    std::unique_ptr<FrameDriver> driver;

    PFNGLMAPBUFFERARBPROC mapBuffer = nullptr;
    PFNGLUNMAPBUFFERARBPROC unmapBuffer = nullptr;
    GLuint packBuffers[2] = {0, 0};  // both zero: read straight into `pixels`
    long rendered = 0;
    long collected = 0;
    std::vector<uint8_t> pixels;
    std::string failed;
};

}  // namespace tw

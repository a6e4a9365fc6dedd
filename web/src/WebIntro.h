// The browser's shell around the FrameDriver, called once per animation frame by the page, which
// owns the clock (the audio clock once sound runs), the canvas's size and the lost context.
//
// start() once with the page's WebGL 2 context current; frame() per animation frame, held while
// play stands; hold() when frames of play stop coming (a pause, a hidden page); restore() after
// the browser gives back a lost context. The GL objects live as long as the page (or the
// context), as the desktop's live as long as its window.
#pragma once

#include <memory>
#include <string>

#include "passes/FrameDriver.h"

namespace tw {

class WebIntro {
  public:
    // Builds the texture bank, the pass chain and the final draw at `width` x `height`. With
    // `fixedSize` the passes keep that size for good: no adaptive steps, no following the canvas.
    // False when a program failed to build: failureLine() (the desktop's line for that pass) and
    // failureLog() say which and why. A fallback to the plain scene program is said on stderr.
    bool start(int width, int height, bool fixedSize);
    // Rebuilds everything that lived in the context (quad, bank, passes, final draw) at the
    // current size once a lost context is restored; false as start().
    bool restore();
    // Renders the scene at `time` seconds and stretches it over a canvas of the given size. A
    // `held` frame (drawn while paused: a seek, a new size) is never timed by the calibration.
    void frame(float time, int canvasWidth, int canvasHeight, bool held);
    // Frames of play stop for a while: the calibration starts a fresh window when they come back.
    void hold();

    const std::string& failureLine() const { return line; }
    const std::string& failureLog() const { return log; }
    // The size the passes render at now (the page's dataset.size).
    RenderSize renderSize() const { return driver ? driver->size() : size; }

  private:
    bool build();

    // A new one at each (re)build: its calibration starts at its first frame, so time behind the
    // start screen never counts as a slow frame.
    std::unique_ptr<FrameDriver> driver;
    RenderSize size{0, 0};  // to build at: the start's, then the step's when the context was lost
    bool fixed = false;
    std::string line;
    std::string log;
};

}  // namespace tw

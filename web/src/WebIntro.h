// The browser's frame loop: what the desktop's Intro does between two buffer swaps, called once
// per animation frame by the page, which owns the clock (the audio clock once sound runs).
//
// start() once with the page's WebGL 2 context current; frame() per animation frame; restore()
// after the browser gives back a lost context. The GL objects live as long as the page (or the
// context), as the desktop's live as long as its window.
#pragma once

#include <memory>
#include <string>

#include "app/ResolutionStep.h"
#include "passes/PassChain.h"
#include "passes/ScreenStretch.h"

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
    // Renders the scene at `time` seconds and stretches it over a canvas of the given size.
    void frame(float time, int canvasWidth, int canvasHeight);

    const std::string& failureLine() const { return line; }
    const std::string& failureLog() const { return log; }
    RenderSize renderSize() const { return size; }

  private:
    bool build();
    void resizePasses(RenderSize to);

    std::unique_ptr<PassChain> chain;
    ScreenStretch stretch;
    RenderSize size{0, 0};
    bool fixed = false;
    // The calibration starts at the first frame after (re)building, as the desktop's does just
    // before its loop, so time behind the start screen never counts as a slow frame.
    bool timing = false;
    double lastStep = 0;  // ms, page clock
    int framesSinceStep = 0;
    std::string line;
    std::string log;
};

}  // namespace tw

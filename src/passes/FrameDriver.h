// The frame every program draws, written once: the pass chain, the calibration that lowers the
// rendering size while frames come too slowly, and the final stretch over the screen. The intro,
// the page and the recorder each keep only their own shell around it: the window and its events;
// the clock, the canvas and a lost context; the fixed size and the read-back.
//
// With a GL context current and the extension table loaded, after prepareGlResources(): construct
// with the rendering size, then check failure(). Construction builds every program and draws each
// once (PassChain::warmUp()), so that the calibration, which starts at the first render(), times
// frames of the scene and never a compiler. Per frame of play render(time), then present() where
// the frame goes to a screen; resize() when that screen changes size. Where play can stand (the
// page's pause, a hidden page), hold() when it stops and redraw(time) for a picture drawn while it
// stands: the calibration times frames of play only. Destroy while the context is current.
// GL contract: that of PassChain after render(), of ScreenStretch after present().
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "gl/Timer.h"
#include "passes/PassChain.h"
#include "passes/ResolutionStep.h"
#include "passes/ScreenStretch.h"

namespace tw {

class FrameDriver {
  public:
    struct Failure {
        const char* line;  // the fixed start-up line of the program that did not build
        std::string log;   // its compiler or linker log
    };

    struct Options {
        bool calibrate = false;  // slow frames lower the size (ResolutionStep); else it stays
        bool stretch = false;    // present() draws the frame over a screen; else it is only read
    };

    FrameDriver(RenderSize size, Options options);
    FrameDriver(const FrameDriver&) = delete;
    FrameDriver& operator=(const FrameDriver&) = delete;

    // Null when every program built; nothing may be drawn otherwise.
    const Failure* failure() const { return failed ? &*failed : nullptr; }

    // A frame of play: a step of the calibration where one is due, whose resize is timed in the
    // window it starts, then the chain at `time` seconds of the scene. The first frame, and the
    // first after hold(), redraw() or resize(), starts a fresh window.
    void render(float time);
    // The chain at `time` drawn while play stands (a seek or a new size while paused): never timed.
    void redraw(float time);
    // Frames of play stop coming for a while (a pause, a hidden page): the gap is never timed.
    void hold() { timing = false; }
    // The finished frame stretched over the bound framebuffer, `screenWidth` x `screenHeight`.
    void present(int screenWidth, int screenHeight);
    // A new rendering size from outside (the page's canvas): the calibration starts again there.
    void resize(RenderSize to);

    RenderSize size() const { return current; }
    const RenderTarget& output() const { return chain->output(); }

  private:
    void startWindow();

    std::unique_ptr<PassChain> chain;
    ScreenStretch stretch;
    std::optional<Failure> failed;
    RenderSize current;
    bool calibrating;
    bool timing = false;  // a window of the calibration runs: frames of play keep coming
    Timer sinceStep;
    int framesSinceStep = 0;
};

}  // namespace tw

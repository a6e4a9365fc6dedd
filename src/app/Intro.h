// The application object: opens the full-screen window, builds every GL resource in a fixed
// order (the frame driver with every program drawn once), starts the music last, runs the frame
// loop around the FrameDriver, and stops the music when destroyed.
//
// startWindowSystem() first; construct with the primary monitor's size it returns; run() until
// Escape or the window system's close request (the passes are released and GLFW terminated when it
// returns); then destroy. Every start-up failure prints its line and exits with status 1.
// Desktop only: the browser build has no Intro; its other side is web/src/WebIntro.h, the same
// start-up and frames driven by the page.
#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "gl/GlExtensionTable.h"
#include "passes/ResolutionStep.h"

struct GLFWwindow;

namespace tw {

class FrameDriver;

// What the frame loop reports after presenting each frame (to test programs that observe it).
struct FrameReport {
    int frame;   // 0 for the first frame
    float time;  // scene time handed to the passes
    int width;   // rendering size of this frame
    int height;
    // Shader programs built, and drawn with for the first time, since the loop started: each may
    // cost a compile inside the timed frames.
    long lateBuilds;
    long lateFirstDraws;
};

class Intro {
  public:
    // Initialises GLFW and returns the primary monitor's current size; no GLFW, no monitor or no
    // current video mode ends start-up with its line.
    static RenderSize startWindowSystem();

    // `resolve` looks up the GL entry points; tests inject a failing one (glvnd answers every
    // name).
    Intro(int width, int height, GlResolver resolve = nullptr);
    ~Intro();  // stops the music
    Intro(const Intro&) = delete;
    Intro& operator=(const Intro&) = delete;

    void run();

    // Optional; the intro itself sets none. Called after each presented frame.
    void setFrameObserver(std::function<void(const FrameReport&)> observer) {
        frameObserver = std::move(observer);
    }

    static void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);

  private:
    void present();

    // Released by run() while the window's context is still current.
    std::unique_ptr<FrameDriver> driver;
    int width;  // the screen's
    int height;
    GLFWwindow* window = nullptr;
    std::function<void(const FrameReport&)> frameObserver;
};

}  // namespace tw

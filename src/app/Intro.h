// The application object: opens the full-screen window, builds every GL resource in a fixed
// order, starts the music last, runs the frame loop, and stops the music when destroyed.
//
// Construct after glfwInit() with the primary monitor's size; run() until Escape or the window
// system's close request (GLFW is terminated when it returns); then destroy. Every start-up
// failure prints its line and exits with status 1.
#pragma once

#include "gl/GlExtensionTable.h"

struct GLFWwindow;

namespace tw {

class Intro {
  public:
    // `resolve` looks up the GL entry points; tests inject a failing one (glvnd answers every
    // name).
    Intro(int width, int height, bool fullscreen, GlResolver resolve = nullptr);
    ~Intro();
    Intro(const Intro&) = delete;
    Intro& operator=(const Intro&) = delete;

    void run();

    static void onKey(GLFWwindow* window, int key, int scancode, int action, int mods);

  private:
    void renderFrame(float time);
    void present();

    int width;
    int height;
    GLFWwindow* window = nullptr;
};

}  // namespace tw

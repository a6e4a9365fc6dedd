// Tidewatch: a full-screen real-time intro. No options; Escape ends it.
#include <GLFW/glfw3.h>

#include "app/Intro.h"
#include "app/StartupFailure.h"

int main() {
    // Initialisation
    if (glfwInit() == GLFW_FALSE)
        tw::failStartup("glfwInit failed");
    GLFWmonitor* monitor = glfwGetPrimaryMonitor();
    if (monitor == nullptr)
        tw::failStartup("no primary monitor found");
    // GLFW answers null when the monitor reports no current mode.
    const GLFWvidmode* mode = glfwGetVideoMode(monitor);
    if (mode == nullptr)
        tw::failStartup("no video mode found");

    // Main loop, then de-initialisation: the Intro's destructor stops the music, also when the
    // loop is left by an exception (the handler makes the stack unwind before it passes on).
    try {
        tw::Intro intro(mode->width, mode->height, true);
        intro.run();
    } catch (...) {
        throw;
    }
    return 0;
}

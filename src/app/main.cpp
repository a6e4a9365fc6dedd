// Tidewatch: a full-screen real-time intro. No options; Escape ends it.
#include "app/Intro.h"

int main() {
    // Initialisation
    const tw::RenderSize screen = tw::Intro::startWindowSystem();

    // Main loop, then de-initialisation: the Intro's destructor stops the music, also when the
    // loop is left by an exception (the handler makes the stack unwind before it passes on).
    try {
        tw::Intro intro(screen.width, screen.height);
        intro.run();
    } catch (...) {
        throw;
    }
    return 0;
}

// Access to the private display and sound server that the "services" test fixture starts.
#pragma once

#include <string>
#include <vector>

namespace tw::test {

// Loads the fixture's environment (DISPLAY, HOME, XDG_RUNTIME_DIR, ...) into this process, so the
// GL context and any child process use the private services. Fails the test loudly when the
// fixture has not run: a machine without them must not pass by skipping.
void useTestServices();

// The null sink's name, whose ".monitor" source records what the intro plays.
std::string testSinkName();

// Presses and releases keys on the private display through XTEST, with the pointer moved over the
// top-left corner first (no window manager: the window under the pointer has the focus). Sending
// to a window id instead can leave a key held down in the server when the window goes away on the
// press, which then repeats into the next program.
void pressKeys(const std::vector<std::string>& keys);

}  // namespace tw::test

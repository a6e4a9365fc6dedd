// Access to the private display and sound server that the "services" test fixture starts.
#pragma once

#include <string>

namespace tw::test {

// Loads the fixture's environment (DISPLAY, HOME, XDG_RUNTIME_DIR, ...) into this process, so the
// GL context and any child process use the private services. Fails the test loudly when the
// fixture has not run: a machine without them must not pass by skipping.
void useTestServices();

// The null sink's name, whose ".monitor" source records what the intro plays.
std::string testSinkName();

}  // namespace tw::test

// Access to the private display and sound server that the "services" test fixture starts.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/Process.h"

namespace tw::test {

// Loads the services' environment (DISPLAY, HOME, XDG_RUNTIME_DIR, TW_SINK, ...) into this
// process, so the GL context and any child process use them: from $TW_SERVICES_DIR/env when set
// (scripts/soak.sh), else from the fixture's folder. Fails the test loudly when there is none: a
// machine without them must not pass by skipping.
void useTestServices();

// Presses and releases keys through XTEST with the pointer over the top-left corner (no window
// manager: the window under it has the focus). Keys sent to a window id can stay held down in the
// server when the window goes away on the press, and repeat into the next program.
void pressKeys(const std::vector<std::string>& keys);

// The X window id of the intro once it is mapped (keys pressed before then go elsewhere), or "".
std::string findWindow();
// Waits up to `seconds` for the intro's window to be shown.
bool waitForWindow(double seconds);
// The intro's window lies at the screen's origin at `width` x `height`, within 5 s (a window
// manager may show it as a plain window first); otherwise says where it is.
::testing::AssertionResult windowCovers(int width, int height);

// Starts a private Xvfb screen `screen` ("WxHxDEPTH") with `options` added, its files in `dir`;
// returns its X display (":N"), or "" with the failure added when it has not opened within 10 s.
std::string startXvfb(std::unique_ptr<ChildProcess>& xvfb, const std::string& dir,
                      const std::string& screen, const std::string& options = "");

// Waits up to `seconds` for a stream to play on the sound server (`env` names another server).
bool waitForMusic(double seconds, const std::map<std::string, std::string>& env = {});

}  // namespace tw::test

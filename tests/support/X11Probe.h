// Direct questions to the private X server that the command-line tools cannot ask.
#pragma once

#include <string>

namespace tw::test {

// True when the cursor the server shows at (x, y) has no visible pixel (alpha 0 everywhere).
bool cursorInvisibleAt(int x, int y);

// The same where the pointer is now: XWayland without a pointer device cannot warp it.
bool cursorInvisible();

// Sends the window manager's close request (WM_DELETE_WINDOW) to the window, as a desktop does
// when the user closes it from the title bar or the task bar.
bool sendCloseRequest(const std::string& windowId);

}  // namespace tw::test

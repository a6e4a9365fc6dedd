// Direct questions to the private X server that the command-line tools cannot ask.
#pragma once

#include <string>

namespace tw::test {

// True when the cursor shown where the pointer is has no visible pixel.
bool cursorInvisible();

// Sends the close request (WM_DELETE_WINDOW) that a desktop's title bar or task bar sends.
bool sendCloseRequest(const std::string& windowId);

}  // namespace tw::test

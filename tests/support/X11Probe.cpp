#include "support/X11Probe.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <cstdlib>

namespace tw::test {

bool cursorInvisible() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    XFixesCursorImage* image = XFixesGetCursorImage(display);
    bool invisible = image != nullptr;
    if (image != nullptr) {
        // Pixels are ARGB in unsigned longs.
        for (int i = 0; i < image->width * image->height; ++i) {
            if ((image->pixels[i] >> 24) != 0)
                invisible = false;
        }
        XFree(image);
    }
    XCloseDisplay(display);
    return invisible;
}

bool sendCloseRequest(const std::string& windowId) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    const Window window = std::strtoul(windowId.c_str(), nullptr, 0);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    XCloseDisplay(display);
    return sent != 0;
}

}  // namespace tw::test

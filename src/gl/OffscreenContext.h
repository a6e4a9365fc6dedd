// A GL context with no window and no display server, for rendering frames off-screen.
//
// open() once on the thread that will draw: it picks Mesa's surfaceless EGL platform (or, where
// that is missing, the first EGL device), creates a desktop-GL context with no attributes (the
// highest compatibility-profile version, which keeps the fixed-function pipeline) and makes it
// current with no surface; draw into framebuffer objects only. resolve() is the extension-table
// look-up for such a context. The destructor releases the context and the display.
#pragma once

#include <string>

namespace tw {

class OffscreenContext {
  public:
    OffscreenContext() = default;
    ~OffscreenContext();
    OffscreenContext(const OffscreenContext&) = delete;
    OffscreenContext& operator=(const OffscreenContext&) = delete;

    // False when no context could be made current; error() then says which step failed and the
    // name of EGL's error.
    bool open();
    const std::string& error() const { return failure; }

    // eglGetProcAddress in the shape loadGlExtensions wants.
    static void* resolve(const char* name);

  private:
    bool fail(const char* step, const std::string& why);

    void* display = nullptr;  // EGLDisplay
    void* context = nullptr;  // EGLContext
    std::string failure;
};

}  // namespace tw

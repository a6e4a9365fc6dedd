#include "gl/OffscreenContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>

namespace tw {

namespace {

// The names EGL's headers give its error codes.
std::string errorName(EGLint code) {
    static const char* const kNames[] = {
        "EGL_SUCCESS",       "EGL_NOT_INITIALIZED",     "EGL_BAD_ACCESS",
        "EGL_BAD_ALLOC",     "EGL_BAD_ATTRIBUTE",       "EGL_BAD_CONFIG",
        "EGL_BAD_CONTEXT",   "EGL_BAD_CURRENT_SURFACE", "EGL_BAD_DISPLAY",
        "EGL_BAD_MATCH",     "EGL_BAD_NATIVE_PIXMAP",   "EGL_BAD_NATIVE_WINDOW",
        "EGL_BAD_PARAMETER", "EGL_BAD_SURFACE",         "EGL_CONTEXT_LOST"};
    if (code >= EGL_SUCCESS && code <= EGL_CONTEXT_LOST)
        return kNames[code - EGL_SUCCESS];
    char text[32];
    std::snprintf(text, sizeof text, "EGL error 0x%04X", static_cast<unsigned>(code));
    return text;
}

bool initialise(EGLDisplay display) {
    return display != EGL_NO_DISPLAY && eglInitialize(display, nullptr, nullptr) == EGL_TRUE;
}

// The display of the first platform that works: surfaceless needs no device node or server;
// the device platform is what drivers without it (proprietary ones) offer instead.
EGLDisplay openDisplay() {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
        return initialise(display) ? display : EGL_NO_DISPLAY;
    }
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (initialise(display))
        return display;

    auto queryDevices =
        reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    EGLDeviceEXT device = nullptr;
    EGLint count = 0;
    if (queryDevices != nullptr && queryDevices(1, &device, &count) == EGL_TRUE && count > 0) {
        display = getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, device, nullptr);
        if (initialise(display))
            return display;
    }
    return EGL_NO_DISPLAY;
}

}  // namespace

OffscreenContext::~OffscreenContext() {
    if (display == nullptr)
        return;
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context != nullptr)
        eglDestroyContext(display, context);
    eglTerminate(display);
}

bool OffscreenContext::fail(const char* step, const std::string& why) {
    failure = std::string(step) + " failed (" + why + ")";
    return false;
}

bool OffscreenContext::open() {
    EGLDisplay egl = openDisplay();
    if (egl == EGL_NO_DISPLAY) {
        // The last call may have succeeded (a device query finding none), so its code says
        // nothing; what failed is that no platform gave a display.
        const EGLint code = eglGetError();
        return fail("opening an EGL display", code == EGL_SUCCESS
                                                  ? "no surfaceless platform and no EGL device"
                                                  : errorName(code));
    }
    display = egl;
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE)
        return fail("eglBindAPI(EGL_OPENGL_API)", errorName(eglGetError()));
    // No config (EGL_KHR_no_config_context) and no attributes: a compatibility context of the
    // highest version the driver has; only framebuffer objects are drawn into.
    EGLContext created = eglCreateContext(egl, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, nullptr);
    if (created == EGL_NO_CONTEXT)
        return fail("eglCreateContext", errorName(eglGetError()));
    context = created;
    if (eglMakeCurrent(egl, EGL_NO_SURFACE, EGL_NO_SURFACE, created) != EGL_TRUE)
        return fail("eglMakeCurrent without a surface", errorName(eglGetError()));
    return true;
}

void* OffscreenContext::resolve(const char* name) {
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

}  // namespace tw

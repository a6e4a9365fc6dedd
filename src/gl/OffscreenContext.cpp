#include "gl/OffscreenContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstdio>

namespace tw {

namespace {

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

bool OffscreenContext::fail(const char* step) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%04X", static_cast<unsigned>(eglGetError()));
    failure = std::string(step) + " failed (EGL error " + code + ")";
    return false;
}

bool OffscreenContext::open() {
    EGLDisplay egl = openDisplay();
    if (egl == EGL_NO_DISPLAY)
        return fail("opening an EGL display");
    display = egl;
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE)
        return fail("eglBindAPI(EGL_OPENGL_API)");
    // No config (EGL_KHR_no_config_context) and no attributes: a compatibility context of the
    // highest version the driver has; only framebuffer objects are drawn into.
    EGLContext created = eglCreateContext(egl, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, nullptr);
    if (created == EGL_NO_CONTEXT)
        return fail("eglCreateContext");
    context = created;
    if (eglMakeCurrent(egl, EGL_NO_SURFACE, EGL_NO_SURFACE, created) != EGL_TRUE)
        return fail("eglMakeCurrent without a surface");
    return true;
}

void* OffscreenContext::resolve(const char* name) {
    return reinterpret_cast<void*>(eglGetProcAddress(name));
}

}  // namespace tw

#include "gl/GlContext.h"

#include <EGL/egl.h>
#include <GL/glx.h>

namespace tw {

bool hasCurrentGlContext() {
    return glXGetCurrentContext() != nullptr || eglGetCurrentContext() != EGL_NO_CONTEXT;
}

}  // namespace tw

// The browser's side of gl/GlContext.h: the page's WebGL 2 context, when one is current.
#include "gl/GlContext.h"

#include <emscripten/html5.h>

namespace tw {

bool hasCurrentGlContext() {
    return emscripten_webgl_get_current_context() != 0;
}

}  // namespace tw

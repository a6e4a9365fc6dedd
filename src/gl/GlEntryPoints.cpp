// The entry points of the extension table, defined once for both builds: the desktop's
// loadGlExtensions (GlExtensionTable.cpp) fills them by name, the browser's (web/src) with
// WebGL 2's own functions.
#include "gl/GlExtensionTable.h"

namespace tw {

#define TW_GL_ENTRY(type, name, webgl) type name;
#define TW_GL_OPTIONAL_ENTRY TW_GL_ENTRY
#include "gl/GlEntryPointList.h"

}  // namespace tw

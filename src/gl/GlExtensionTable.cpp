#include "gl/GlExtensionTable.h"

#include <GL/glx.h>

namespace tw {

const char GlExtensionTable[kGlEntryPointCount][kGlEntryPointSlotBytes] = {
#define TW_GL_ENTRY(type, name, webgl) #name,
#include "gl/GlEntryPointList.h"
};

namespace {

// Each slot's pointer, in table order, so the look-up can run as one loop over the names.
void** const slots[kGlEntryPointCount] = {
#define TW_GL_ENTRY(type, name, webgl) reinterpret_cast<void**>(&name),
#include "gl/GlEntryPointList.h"
};

void* glxResolve(const char* name) {
    return reinterpret_cast<void*>(glXGetProcAddress(reinterpret_cast<const GLubyte*>(name)));
}

}  // namespace

bool loadGlExtensions() {
    return loadGlExtensions(glxResolve);
}

bool loadGlExtensions(GlResolver resolve, const char** missing) {
    for (int i = 0; i < kGlEntryPointCount; ++i)
        *slots[i] = nullptr;
    for (int i = 0; i < kGlEntryPointCount; ++i) {
        *slots[i] = resolve(GlExtensionTable[i]);
        if (*slots[i] == nullptr) {
            if (missing != nullptr)
                *missing = GlExtensionTable[i];
            return false;
        }
    }
#define TW_GL_ENTRY(type, name, webgl)
#define TW_GL_OPTIONAL_ENTRY(type, name, webgl) name = reinterpret_cast<type>(resolve(#name));
#include "gl/GlEntryPointList.h"
    return true;
}

void* glEntryPoint(int slot) {
    return *slots[slot];
}

}  // namespace tw

// The GL entry points beyond the base library, resolved by name once at start-up.
//
// Call loadGlExtensions() once with a GL context current; it returns false at the first name the
// resolver cannot find. Afterwards every part of the system calls glCreateProgramObjectARB,
// glBindFramebufferEXT and the rest under their GL names: inside namespace tw these names are the
// pointers declared here, not the library's own exports.
// This file's desktop side is GlExtensionTable.cpp; the browser build links its own look-up
// (web/src/GlExtensionTable.cpp). Both fill the pointers that GlEntryPoints.cpp defines.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

namespace tw {

// Looks up one entry point by name; null when the implementation lacks it.
using GlResolver = void* (*)(const char* name);

constexpr int kGlEntryPointCount = 0
#define TW_GL_ENTRY(type, name, webgl) +1
#include "gl/GlEntryPointList.h"
    ;
static_assert(kGlEntryPointCount == 35, "the table has 35 fixed slots");
constexpr int kGlEntryPointSlotBytes = 29;  // longest name (28 characters) plus its terminator

// The names in fixed slots of kGlEntryPointSlotBytes, in look-up order.
extern const char GlExtensionTable[kGlEntryPointCount][kGlEntryPointSlotBytes];

// Resolves every entry point of the table in order; stops at the first one the resolver cannot
// find, leaving it and every later pointer null, and names it in `missing` when given. The
// default resolver is glXGetProcAddress.
bool loadGlExtensions();
bool loadGlExtensions(GlResolver resolve, const char** missing = nullptr);

// The resolved pointer of slot i (null before the look-up or when it failed at or before i).
void* glEntryPoint(int slot);

// The pointers, under the GL names; the optional ones, not the table's, follow them: null when
// the implementation lacks them, and their callers do without.
#define TW_GL_ENTRY(type, name, webgl) extern type name;
#define TW_GL_OPTIONAL_ENTRY TW_GL_ENTRY
#include "gl/GlEntryPointList.h"

}  // namespace tw

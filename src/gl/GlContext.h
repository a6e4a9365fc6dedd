// Whether this thread has a GL context current, through GLX (the intro) or EGL (the recorder).
//
// Objects that may outlive their context (the texture bank at process exit) ask before deleting.
// This file's desktop side is GlContext.cpp; the browser build links its own (web/src).
#pragma once

namespace tw {

bool hasCurrentGlContext();

}  // namespace tw

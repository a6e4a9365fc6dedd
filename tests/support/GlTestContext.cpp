#include "support/GlTestContext.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "gl/GlExtensionTable.h"
#include "gl/OffscreenContext.h"
#include "passes/GlResources.h"

namespace tw::test {

void GlTestContext::ensure(int screenWidth, int screenHeight) {
    // Never destroyed: the texture bank's textures live to the process's end with it.
    static OffscreenContext* context = nullptr;
    if (context != nullptr)
        return;
    context = new OffscreenContext;
    if (!context->open() || !loadGlExtensions(OffscreenContext::resolve)) {
        ADD_FAILURE() << "no off-screen GL context with the extension table: " << context->error();
        std::abort();
    }
    prepareGlResources(screenWidth, screenHeight);
}

}  // namespace tw::test

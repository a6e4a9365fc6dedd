#include "passes/FxaaPass.h"

#include "embedded/fxaaFragmentSource.h"
#include "embedded/fxaaVertexSource.h"

namespace tw {

FxaaPass::FxaaPass(int width, int height, const RenderTarget* source)
    : FilterPass(width, height, source, fxaaVertexSource, fxaaFragmentSource, "lastBuffer",
                 "lastBufferTexel", "resolution") {}

}  // namespace tw

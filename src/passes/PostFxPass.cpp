#include "passes/PostFxPass.h"

#include "embedded/passthroughVertexSource.h"
#include "embedded/postFxFragmentSource.h"

namespace tw {

// The fringe is measured in texels of this target, so it follows every resize.
PostFxPass::PostFxPass(int width, int height, const RenderTarget* source)
    : FilterPass(width, height, source, passthroughVertexSource, postFxFragmentSource, "tex",
                 "texel", "res") {}

}  // namespace tw

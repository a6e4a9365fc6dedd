#include "passes/FxaaPass.h"

#include "embedded/fxaaFragmentSource.h"
#include "embedded/fxaaVertexSource.h"
#include "embedded/stretchFragmentSource.h"
#include "embedded/stretchVertexSource.h"
#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"

namespace tw {

namespace {

// How far from a pixel the filter reads: its outer taps lie up to half its span of 8 texels away
// along each axis, and bilinear filtering reaches one texel further.
constexpr int kFilterReach = 5;

}  // namespace

FxaaPass::FxaaPass(int width, int height, const RenderTarget* source, const SceneTiles* sourceTiles)
    : FilterPass(width, height, source, fxaaVertexSource, fxaaFragmentSource, "lastBuffer",
                 "lastBufferTexel", "resolution"),
      tiles(sourceTiles) {
    if (buildResult() == ShaderProgram::kBuilt && tiles != nullptr && glGenSamplers != nullptr)
        copyReady = copy.build(stretchVertexSource, stretchFragmentSource) == ShaderProgram::kBuilt;
}

void FxaaPass::render(float time) {
    const std::vector<SceneTiles::Box>* sky = copyReady ? &tiles->boxes(SceneTiles::kSky) : nullptr;
    // No sky, or no frame drawn yet at this size: the filter over everything.
    if (sky == nullptr || sky->empty()) {
        FilterPass::render(time);
        return;
    }
    filtered.clear();
    copied.clear();
    for (int c = 0; c < SceneTiles::kClassCount; ++c) {
        const auto kind = static_cast<SceneTiles::Class>(c);
        for (const SceneTiles::Box& box : tiles->boxes(kind)) {
            if (kind != SceneTiles::kSky) {
                filtered.add(box.x, box.y, box.width, box.height);
                continue;
            }
            // Within the filter's reach of another class, the filter reads other pixels than the
            // sky's: filtered like them.
            const SceneTiles::Box inner = tiles->interior(kind, box, kFilterReach);
            if (inner.width == 0 || inner.height == 0) {
                filtered.add(box.x, box.y, box.width, box.height);
                continue;
            }
            copied.add(inner.x, inner.y, inner.width, inner.height);
            // The frame around it: below and above across the box's width, then left and right.
            const int right = box.x + box.width, top = box.y + box.height;
            const int innerRight = inner.x + inner.width, innerTop = inner.y + inner.height;
            filtered.add(box.x, box.y, box.width, inner.y - box.y);
            filtered.add(box.x, innerTop, box.width, top - innerTop);
            filtered.add(box.x, inner.y, inner.x - box.x, inner.height);
            filtered.add(innerRight, inner.y, right - innerRight, inner.height);
        }
    }
    beginDraw();
    filtered.draw(width, height);
    useCopy();
    copied.draw(width, height);
    endDraw();
}

void FxaaPass::warmUp() {
    beginDraw();
    FullscreenQuad::draw();
    if (copyReady) {
        useCopy();
        FullscreenQuad::draw();
    }
    endDraw();
}

// The source on unit 1 is the nearest sampler's (FilterPass::beginDraw()).
void FxaaPass::useCopy() {
    copy.use();
    copy.setUniform1i("frame", 1);
}

}  // namespace tw

// Builds every program the intro may build, so that with MESA_SHADER_DUMP_PATH set Mesa shows the
// file names under which it reads a replacement of each stage from MESA_SHADER_READ_PATH.
#include "gl/RenderTarget.h"
#include "passes/FxaaPass.h"
#include "passes/PostFxPass.h"
#include "passes/ScenePass.h"
#include "passes/ScreenStretch.h"
#include "passes/plain/PlainScene.h"
#include "support/GlTestContext.h"

int main() {
    tw::test::GlTestContext::ensure();
    const tw::RenderTarget source;
    const tw::ScenePass scene(64, 36);
    // The scene's vertex stage as a GL without scissor arrays builds it, for its fallback.
    const tw::ScenePass full(64, 36, tw::sceneProgramSource());
    const tw::ScenePass plain(64, 36, tw::plainSceneProgramSource());
    const tw::FxaaPass fxaa(64, 36, &source);
    const tw::PostFxPass post(64, 36, &source);
    tw::ScreenStretch stretch;
    const bool built = scene.buildResult() == tw::ShaderProgram::kBuilt &&
                       full.buildResult() == tw::ShaderProgram::kBuilt &&
                       plain.buildResult() == tw::ShaderProgram::kBuilt &&
                       fxaa.buildResult() == tw::ShaderProgram::kBuilt &&
                       post.buildResult() == tw::ShaderProgram::kBuilt &&
                       stretch.build() == tw::ShaderProgram::kBuilt;
    return built ? 0 : 1;
}

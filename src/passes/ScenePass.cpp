#include "passes/ScenePass.h"

#include "assets/TextureBank.h"
#include "gl/FullscreenQuad.h"

namespace tw {

// The base class has already made the target at 320x240; it takes the wanted size only once the
// program is known to build.
ScenePass::ScenePass(int width, int height, const SceneProgramSource& source)
    : result(program.build(source.vertex.c_str(), source.fragment.c_str())) {
    if (result == ShaderProgram::kBuilt)
        resize(width, height);
}

void ScenePass::render(float time) {
    begin();
    program.use();
    program.setUniform1f("time", time);
    // The size after any reduction by the frame loop: the shader's aspect follows the target.
    program.setUniform2f("resolution", static_cast<float>(width), static_cast<float>(height));
    program.setUniform1i("logo", 0);
    program.setUniform1i("fbm", 1);
    program.setUniform1i("checker", 2);
    program.setUniform1i("font", 3);
    program.setUniform1i("scroll", 4);
    TextureBank& bank = TextureBank::instance();
    bank.logo.bind(0);
    bank.fbm.bind(1);
    bank.checker.bind(2);
    bank.font.bind(3);
    bank.scroll.bind(4);
    // No clear: the quad covers the target and the shader writes every pixel, alpha included.
    FullscreenQuad::draw();
    program.unuse();
    end();
}

}  // namespace tw

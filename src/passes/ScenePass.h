// The first pass: ray-traces the animated scene into its own render target.
//
// Construct after TextureBank::build() with the screen size (builds the program, then sizes the
// target; after a failed build buildResult() and buildLog() say what failed and the pass must not
// render). render(time) once per frame. GL contract: binds its framebuffer and program, sets time,
// resolution and the five sampler units, binds the bank's textures to units 0 to 4; leaves them
// bound, unit 4 active, no program in use, framebuffer 0 bound and the viewport at the screen size.
#pragma once

#include "gl/RenderTarget.h"
#include "gl/ShaderProgram.h"
#include "passes/SceneShaderSource.h"

namespace tw {

class ScenePass : public RenderTarget {
  public:
    // `source` is the scene program; only the benchmark and the tests pass another one.
    ScenePass(int width, int height, const SceneProgramSource& source = sceneProgramSource());
    void render(float time);

    // ShaderProgram::kBuilt, or the stage that failed, with the compiler or linker log.
    int buildResult() const { return result; }
    const std::string& buildLog() const { return program.log(); }

  private:
    ShaderProgram program;
    int result;
};

}  // namespace tw

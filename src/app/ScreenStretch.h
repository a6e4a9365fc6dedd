// The desktop's final draw: stretches the finished frame over the window with a small shader
// (src/passes/stretch.frag.glsl), which llvmpipe runs faster than fixed-function texturing. The
// browser's side, with the same shader, is web/src/ScreenStretch.cpp.
//
// build() once after the passes; draw() once a frame. GL contract: draws into the bound
// framebuffer with the viewport at the given size, binds the frame to unit 0; leaves unit 0
// active with nothing bound and no program in use.
#pragma once

#include "gl/ShaderProgram.h"

namespace tw {

class ScreenStretch {
  public:
    // ShaderProgram::kBuilt, or the failed step with log().
    int build();
    void draw(GLuint frameTexture, int screenWidth, int screenHeight);
    const std::string& log() const { return program.log(); }

  private:
    ShaderProgram program;
};

}  // namespace tw

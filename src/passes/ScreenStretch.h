// The final draw of the intro and the page: stretches the finished frame over the window (or the
// canvas) with a small shader (stretch.frag.glsl), which llvmpipe runs faster than fixed-function
// texturing and WebGL 2 needs anyway.
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

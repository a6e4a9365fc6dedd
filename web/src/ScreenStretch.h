// The browser's final draw: stretches the finished frame over the canvas with the shader the
// desktop's final draw uses too (src/passes/stretch.frag.glsl; the desktop side is
// src/app/ScreenStretch.cpp).
//
// build() once after the passes; draw() once a frame. GL contract: draws into framebuffer 0 with
// the viewport at the canvas size, binds the frame to unit 0; leaves unit 0 active with nothing
// bound and no program in use.
#pragma once

#include "gl/ShaderProgram.h"

namespace tw {

class ScreenStretch {
  public:
    // ShaderProgram::kBuilt, or the failed step with log().
    int build();
    void draw(GLuint frameTexture, int canvasWidth, int canvasHeight);
    const std::string& log() const { return program.log(); }

  private:
    ShaderProgram program;
};

}  // namespace tw

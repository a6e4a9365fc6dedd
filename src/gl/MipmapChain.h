// Fills the mipmap levels of the bound 2D texture from its level 0 by drawing: each level is the
// one above it stretched over the level's own size, bilinear (stretch.frag.glsl), which is how
// llvmpipe generates mipmaps itself, to the texel. Its own generator is a program it compiles
// anew in every process, about 100 ms for each kind of texture size (1920x608, 256x256) at
// start-up; this program comes from the shader cache like every other.
//
// Construct with a context current and the extension table loaded (builds the program and a
// framebuffer); fill() once per texture; the destructor deletes both. The desktop's
// uploadMipmapped2D() is its one user.
#pragma once

#include <GL/gl.h>

#include "gl/ShaderProgram.h"

namespace tw {

class MipmapChain {
  public:
    MipmapChain();
    ~MipmapChain();
    MipmapChain(const MipmapChain&) = delete;
    MipmapChain& operator=(const MipmapChain&) = delete;

    // Levels 1 and up of the GL_TEXTURE_2D bound to unit 0, whose level 0 is 8-bit RGBA of
    // width x height, down to 1 x 1. False, with nothing drawn, where the program did not build:
    // the caller then has the GL generate them. Leaves the framebuffer binding, the viewport and
    // the texture's filters and level range as it found them, and no program in use.
    bool fill(GLsizei width, GLsizei height);

  private:
    ShaderProgram program;
    bool built = false;
    GLuint framebuffer = 0;
};

}  // namespace tw

// The five textures the scene shader samples, and the screen size every pass returns to.
//
// TextureBank::instance() first with a GL context current (it generates the five names);
// prepareGlResources() then stores screenWidth/screenHeight and calls build() once. Each frame the
// scene pass binds the textures; render targets and the final draw read the screen size. Destroyed
// at process exit, when the context may be gone (the textures then skip their deletion).
#pragma once

#include "gl/Texture.h"

namespace tw {

class TextureBank {
  public:
    static TextureBank& instance();

    // Uploads logo, fbm, checker, font and scroll, in that order; leaves unit 0 active and
    // nothing bound.
    void build();

    Texture checker;  // scene unit 2
    Texture fbm;      // scene unit 1
    Texture logo;     // scene unit 0
    Texture font;     // scene unit 3
    Texture scroll;   // scene unit 4 (one-dimensional)
    int screenWidth = 0;
    int screenHeight = 0;

  private:
    TextureBank() = default;
};

}  // namespace tw

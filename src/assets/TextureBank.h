// The six textures the scene shader samples, and the screen size every pass returns to.
//
// TextureBank::instance() first with a GL context current (it generates the six names);
// prepareGlResources() then stores screenWidth/screenHeight and calls build() once. Each frame the
// scene pass binds the textures; render targets and the final draw read the screen size. Destroyed
// at process exit, when the context may be gone (the textures then skip their deletion).
#pragma once

#include <array>

#include "gl/Texture.h"

namespace tw {

class TextureBank {
  public:
    static TextureBank& instance();

    // Uploads logo, fbm, checker, font, scroll and white, in that order; leaves unit 0 active and
    // nothing bound.
    void build();
    std::array<Texture*, 6> all() { return {&logo, &fbm, &checker, &font, &scroll, &white}; }

    Texture checker;  // scene unit 2
    Texture fbm;      // scene unit 1
    Texture logo;     // scene unit 0
    Texture font;     // scene unit 3
    Texture scroll;   // scene unit 4 (one-dimensional)
    // One white texel, nearest: scene unit 5 once the logo is whole, in place of fbm.
    Texture white;
    int screenWidth = 0;
    int screenHeight = 0;

  private:
    TextureBank() = default;
};

}  // namespace tw

#include "app/GlResources.h"

#include "assets/TextureBank.h"
#include "gl/FullscreenQuad.h"

namespace tw {

void prepareGlResources(int screenWidth, int screenHeight) {
    FullscreenQuad::create();
    // The bank's first use generates its texture names, so it must come after the context.
    TextureBank& bank = TextureBank::instance();
    bank.screenWidth = screenWidth;
    bank.screenHeight = screenHeight;
    glEnable(GL_TEXTURE_1D);
    glEnable(GL_TEXTURE_2D);
    bank.build();
}

}  // namespace tw

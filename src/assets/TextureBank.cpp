#include "assets/TextureBank.h"

namespace tw {

TextureBank& TextureBank::instance() {
    static TextureBank bank;
    return bank;
}

void TextureBank::build() {
    // Filled in with the embedded pictures and the generated textures.
}

}  // namespace tw

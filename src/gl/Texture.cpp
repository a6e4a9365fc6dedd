#include "gl/Texture.h"

#include "gl/GlContext.h"
#include "gl/GlExtensionTable.h"

namespace tw {

Texture::Texture() : target(GL_TEXTURE_2D), id(0), unit(0) {
    glGenTextures(1, &id);
}

// At process exit the context may already be gone; the name died with it then.
Texture::~Texture() {
    if (hasCurrentGlContext())
        glDeleteTextures(1, &id);
}

void Texture::renew() {
    glGenTextures(1, &id);
}

void Texture::bind(int unit) {
    this->unit = unit;
    glActiveTextureARB(GL_TEXTURE0 + unit);
    glBindTexture(target, id);
}

void Texture::unbind() {
    glActiveTextureARB(GL_TEXTURE0 + unit);
    glBindTexture(target, 0);
}

}  // namespace tw

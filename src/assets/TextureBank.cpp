#include "assets/TextureBank.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <vector>

#include "assets/Checkerboard.h"
#include "assets/ImageRecord.h"
#include "assets/ScrollMessage.h"
#include "assets/ScrollText.h"
#include "gl/TextureUpload.h"

namespace tw {

namespace {

// Every upload is framed the same way: bound at unit 0 while its parameters and level 0 are set,
// then unbound, which leaves unit 0 active with nothing bound to the texture's target.

// Smooth, mipmapped: the GL builds the chain from level 0.
void uploadMipmapped(Texture& texture, GLint width, GLint height, GLenum format,
                     const void* pixels) {
    texture.setTarget(GL_TEXTURE_2D);
    texture.bind(0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    uploadMipmapped2D(width, height, format, pixels);
    texture.unbind();
}

// Records are uploaded in place, straight from the program's data.
void uploadMipmapped(Texture& texture, const ImageRecord& record) {
    uploadMipmapped(texture, record.width(), record.height(), record.format(), record.pixels());
}

// Luminance texels as RGBA, each in red, green and blue, alpha 1: the same values for every
// read of .r or .rgb, and llvmpipe samples four 8-bit channels on a path of its own at about a
// third less cost than one (the sky's two cloud reads per ray, the floor's checker, the letters).
std::vector<uint8_t> greyAsRgba(GLint width, GLint height, const uint8_t* grey) {
    std::vector<uint8_t> texels(static_cast<size_t>(width) * height * 4, 255);
    for (size_t i = 0; i < texels.size() / 4; ++i)
        texels[i * 4] = texels[i * 4 + 1] = texels[i * 4 + 2] = grey[i];
    return texels;
}

void uploadGreyMipmapped(Texture& texture, GLint width, GLint height, const uint8_t* grey) {
    uploadMipmapped(texture, width, height, GL_RGBA, greyAsRgba(width, height, grey).data());
}

}  // namespace

TextureBank& TextureBank::instance() {
    static TextureBank bank;
    return bank;
}

void TextureBank::build() {
    uploadMipmapped(logo, logoRecord());
    const ImageRecord noise = fbmRecord();
    uploadGreyMipmapped(fbm, noise.width(), noise.height(), noise.pixels());

    const std::vector<uint8_t> board = checkerboardTexels();
    uploadGreyMipmapped(checker, kCheckerboardSize, kCheckerboardSize, board.data());

    // The font is sampled texel-exact: no filtering, no mipmaps.
    const ImageRecord fontPicture = fontRecord();
    font.setTarget(GL_TEXTURE_2D);
    font.bind(0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(
        GL_TEXTURE_2D, 0, GL_RGBA, fontPicture.width(), fontPicture.height(), 0, GL_RGBA,
        GL_UNSIGNED_BYTE,
        greyAsRgba(fontPicture.width(), fontPicture.height(), fontPicture.pixels()).data());
    font.unbind();

    // One texel a character; the scene addresses it beyond 0..1 and the repeat wrap loops it.
    const std::vector<float> texels = scrollTextTexels(scrollMessage, kScrollMessageBytes);
    const GLenum row = texelRowTarget();
    scroll.setTarget(row);
    scroll.bind(0);
    glTexParameteri(row, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(row, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    uploadTexelRow(static_cast<GLsizei>(texels.size() / 3), texels.data());
    scroll.unbind();

    const uint8_t opaqueWhite[4] = {255, 255, 255, 255};
    white.setTarget(GL_TEXTURE_2D);
    white.bind(0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, opaqueWhite);
    white.unbind();
}

}  // namespace tw

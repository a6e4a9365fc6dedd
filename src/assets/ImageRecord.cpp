#include "assets/ImageRecord.h"

#include <GL/gl.h>

// Linked in from the generated records (see tw_embed_binary), each 4-byte aligned.
extern "C" const uint8_t tw_logo_begin[], tw_font_begin[], tw_fbm_begin[];
extern "C" const uint64_t tw_logo_size, tw_font_size, tw_fbm_size;

namespace tw {

int ImageRecord::components() const {
    return format() == GL_RGBA ? 4 : 1;
}

uint32_t ImageRecord::word(int index) const {
    const uint8_t* bytes = begin + 4 * index;
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

ImageRecord logoRecord() {
    return ImageRecord(tw_logo_begin, tw_logo_begin + tw_logo_size);
}

ImageRecord fontRecord() {
    return ImageRecord(tw_font_begin, tw_font_begin + tw_font_size);
}

ImageRecord fbmRecord() {
    return ImageRecord(tw_fbm_begin, tw_fbm_begin + tw_fbm_size);
}

}  // namespace tw

#include "assets/ImageRecord.h"

#include <GL/gl.h>

namespace tw {

int ImageRecord::components() const {
    return format() == GL_RGBA ? 4 : 1;
}

uint32_t ImageRecord::word(int index) const {
    const uint8_t* bytes = begin + 4 * index;
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

}  // namespace tw

// The three picture records as linked into the program. The browser build, which carries them
// compressed in its page, has its own version of this file (web/src).
#include "assets/ImageRecord.h"

// Linked in from the generated records (see tw_embed_binary), each 4-byte aligned.
extern "C" const uint8_t tw_logo_begin[], tw_font_begin[], tw_fbm_begin[];
extern "C" const uint64_t tw_logo_size, tw_font_size, tw_fbm_size;

namespace tw {

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

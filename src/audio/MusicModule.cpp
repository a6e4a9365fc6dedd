#include "audio/MusicModule.h"

#include <cstdint>

// Linked in from the generated module (see tw_embed_binary).
extern "C" const unsigned char tw_musicmodule_begin[];
extern "C" const uint64_t tw_musicmodule_size;

namespace tw {

MusicModule musicModule() {
    return {tw_musicmodule_begin, static_cast<size_t>(tw_musicmodule_size)};
}

}  // namespace tw

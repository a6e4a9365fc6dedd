#include "audio/MusicModule.h"

extern "C" const unsigned char tw_musicmodule_begin[];
extern "C" const unsigned char tw_musicmodule_end[];

namespace tw {

MusicModule musicModule() {
    return {tw_musicmodule_begin, static_cast<size_t>(tw_musicmodule_end - tw_musicmodule_begin)};
}

}  // namespace tw

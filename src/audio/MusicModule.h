// The intro's music: the complete XM file image built from tools/music at build time and linked
// into the program's read-only data.
// This file's desktop side is MusicModule.cpp; the browser build links its own
// (web/src/EmbeddedAssets.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tw {

struct MusicModule {
    const uint8_t* data;
    size_t size;  // bytes; the player is given this length
};

// The embedded module; valid for the whole run.
MusicModule musicModule();

}  // namespace tw

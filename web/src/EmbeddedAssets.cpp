// The browser's side of assets/EmbeddedRecords.cpp and audio/MusicModule.cpp: the page carries
// the generated records and the module compressed, inflates them at load and hands each one over
// here before the intro starts. The buffers live as long as the page.
#include <emscripten/emscripten.h>

#include <cstdint>

#include "assets/ImageRecord.h"
#include "audio/MusicModule.h"

namespace {

enum Asset { kLogo, kFont, kFbm, kMusic, kAssetCount };

struct Bytes {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
};

Bytes assets[kAssetCount];

tw::ImageRecord record(Asset which) {
    return tw::ImageRecord(assets[which].data, assets[which].data + assets[which].size);
}

}  // namespace

// `which`: 0 logo, 1 font, 2 fbm, 3 music; `bytes` from malloc, kept for good.
extern "C" EMSCRIPTEN_KEEPALIVE int tw_set_asset(int which, const uint8_t* bytes, uint32_t size) {
    if (which < 0 || which >= kAssetCount)
        return -1;
    assets[which] = {bytes, size};
    return 0;
}

namespace tw {

ImageRecord logoRecord() {
    return record(kLogo);
}

ImageRecord fontRecord() {
    return record(kFont);
}

ImageRecord fbmRecord() {
    return record(kFbm);
}

MusicModule musicModule() {
    return {assets[kMusic].data, assets[kMusic].size};
}

}  // namespace tw

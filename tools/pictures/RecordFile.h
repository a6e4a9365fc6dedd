// Writes one embedded picture record: a 16-byte little-endian header (width, height, GL pixel
// format, reserved 0) and the pixels, bottom row first, exactly as the texture upload takes them.
// Shared by the picture generators, which run at build time.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "PendingOutput.h"

namespace tw::tools {

constexpr uint32_t kFormatRgba = 0x1908;
constexpr uint32_t kFormatLuminance = 0x1909;

// `topDownPixels` holds the rows top row first, as the generators draw them; the record stores
// them the other way round. Written through writeFileAtomically, so a failed run leaves no
// half-written record behind. Prints one line and returns false on failure.
inline bool writeRecord(const std::string& path, uint32_t width, uint32_t height, uint32_t format,
                        const std::vector<uint8_t>& topDownPixels) {
    const size_t components = format == kFormatRgba ? 4 : 1;
    const size_t stride = width * components;
    if (topDownPixels.size() != stride * height) {
        std::fprintf(stderr, "%s: pixel count does not match %ux%u\n", path.c_str(), width, height);
        return false;
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(16 + topDownPixels.size());
    for (uint32_t word : {width, height, format, 0u})
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<uint8_t>(word >> shift));
    for (uint32_t row = height; row-- > 0;)
        bytes.insert(bytes.end(), topDownPixels.begin() + row * stride,
                     topDownPixels.begin() + (row + 1) * stride);

    const std::string failure = writeFileAtomically(path, bytes.data(), bytes.size());
    if (!failure.empty())
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), failure.c_str());
    return failure.empty();
}

}  // namespace tw::tools

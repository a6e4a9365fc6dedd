// Reads back an XM file image independently of the generator that wrote it: the header fields,
// and a walk over the patterns and instruments that checks every length adds up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tw::test {

struct XmCell {
    uint8_t note = 0, instrument = 0, volume = 0, effect = 0, param = 0;
};

struct XmPattern {
    int rows = 0;
    std::vector<XmCell> cells;  // rows x channels
};

struct XmSampleInfo {
    uint32_t length = 0;  // bytes of sample data
    uint8_t type = 0;     // bits 0-1 loop kind, bit 4 16-bit
};

struct XmFile {
    std::string id;      // 17 bytes
    uint8_t marker = 0;  // 0x1A
    uint16_t version = 0;
    uint32_t headerSize = 0;
    uint16_t songLength = 0, restart = 0, channels = 0, patternCount = 0, instrumentCount = 0;
    uint16_t flags = 0, tempo = 0, bpm = 0;
    std::vector<uint8_t> orders;  // the first songLength entries
    std::vector<XmPattern> patterns;
    std::vector<std::vector<XmSampleInfo>> samples;  // per instrument
    size_t size = 0;                                 // bytes the headers account for
};

// Throws std::runtime_error when a header points past the end of the image or a pattern's
// packed data does not decode to its rows.
XmFile readXm(const uint8_t* data, size_t size);

}  // namespace tw::test

#include "XmReader.h"

#include <algorithm>
#include <stdexcept>

namespace tw::test {

namespace {

class Cursor {
  public:
    Cursor(const uint8_t* data, size_t size) : data(data), size(size) {}
    void need(size_t bytes) const {
        if (at + bytes > size)
            throw std::runtime_error("XM image ends inside a header at byte " + std::to_string(at));
    }
    uint8_t u8() {
        need(1);
        return data[at++];
    }
    uint16_t u16() {
        const uint16_t low = u8();
        return static_cast<uint16_t>(low | (u8() << 8));
    }
    uint32_t u32() {
        const uint32_t low = u16();
        return low | (static_cast<uint32_t>(u16()) << 16);
    }
    void skip(size_t bytes) {
        need(bytes);
        at += bytes;
    }
    size_t at = 0;

  private:
    const uint8_t* data;
    size_t size;
};

XmPattern readPattern(Cursor& c, int channels) {
    const size_t start = c.at;
    const uint32_t headerLength = c.u32();
    c.u8();  // packing type
    XmPattern pattern;
    pattern.rows = c.u16();
    const uint16_t packedSize = c.u16();
    c.at = start + headerLength;
    c.need(packedSize);
    const size_t end = c.at + packedSize;
    while (c.at < end) {
        XmCell cell;
        const uint8_t first = c.u8();
        const uint8_t mask = (first & 0x80) ? first : 0x1F;
        if (!(first & 0x80))
            cell.note = first;
        else if (mask & 1)
            cell.note = c.u8();
        if (mask & 2)
            cell.instrument = c.u8();
        if (mask & 4)
            cell.volume = c.u8();
        if (mask & 8)
            cell.effect = c.u8();
        if (mask & 16)
            cell.param = c.u8();
        pattern.cells.push_back(cell);
    }
    if (c.at != end || pattern.cells.size() != static_cast<size_t>(pattern.rows) * channels)
        throw std::runtime_error("a pattern's packed data does not hold its rows");
    return pattern;
}

}  // namespace

XmFile readXm(const uint8_t* data, size_t size) {
    Cursor c(data, size);
    XmFile xm;
    c.need(60);
    xm.id.assign(reinterpret_cast<const char*>(data), 17);
    xm.marker = data[37];
    c.at = 58;
    xm.version = c.u16();
    const size_t headerStart = c.at;
    xm.headerSize = c.u32();
    xm.songLength = c.u16();
    xm.restart = c.u16();
    xm.channels = c.u16();
    xm.patternCount = c.u16();
    xm.instrumentCount = c.u16();
    xm.flags = c.u16();
    xm.tempo = c.u16();
    xm.bpm = c.u16();
    c.need(256);
    xm.orders.assign(data + c.at, data + c.at + std::min<size_t>(xm.songLength, 256));
    c.at = headerStart + xm.headerSize;

    for (int i = 0; i < xm.patternCount; ++i)
        xm.patterns.push_back(readPattern(c, xm.channels));

    for (int i = 0; i < xm.instrumentCount; ++i) {
        const size_t start = c.at;
        const uint32_t headerSize = c.u32();
        c.skip(22 + 1);  // name, type
        const uint16_t sampleCount = c.u16();
        uint32_t sampleHeaderSize = 0;
        if (sampleCount > 0)
            sampleHeaderSize = c.u32();
        c.at = start + headerSize;
        std::vector<XmSampleInfo> samples(sampleCount);
        for (XmSampleInfo& s : samples) {
            const size_t at = c.at;
            s.length = c.u32();
            c.skip(4 + 4 + 1 + 1);  // loop start, loop length, volume, finetune
            s.type = c.u8();
            c.at = at + sampleHeaderSize;
        }
        for (const XmSampleInfo& s : samples)
            c.skip(s.length);
        xm.samples.push_back(samples);
    }
    xm.size = c.at;
    return xm;
}

}  // namespace tw::test

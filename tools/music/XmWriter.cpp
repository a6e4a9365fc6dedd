#include "XmWriter.h"

#include <cstring>
#include <string>

namespace tw::music {

namespace {

constexpr uint32_t kHeaderSize = 276;      // counted from the field itself: 20 bytes + orders
constexpr uint32_t kInstrumentSize = 263;  // instrument header with its sample map and envelopes
constexpr uint32_t kSampleHeaderSize = 40;

class Bytes {
  public:
    void u8(unsigned v) { data.push_back(static_cast<uint8_t>(v)); }
    void u16(unsigned v) {
        u8(v & 0xFF);
        u8(v >> 8);
    }
    void u32(uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    // Fixed-width text field, cut or filled with `fill`.
    void text(const std::string& s, size_t width, char fill) {
        for (size_t i = 0; i < width; ++i)
            u8(static_cast<uint8_t>(i < s.size() ? s[i] : fill));
    }
    void zeros(size_t count) { data.insert(data.end(), count, 0); }
    std::vector<uint8_t> data;
};

void writePattern(Bytes& out, const Pattern& pattern) {
    Bytes packed;
    for (const Cell& c : pattern.cells) {
        // Packed cell: a flag byte (bit 7 set) saying which of the five fields follow.
        const unsigned mask = (c.note ? 1u : 0u) | (c.instrument ? 2u : 0u) | (c.volume ? 4u : 0u) |
                              (c.effect ? 8u : 0u) | (c.param ? 16u : 0u);
        packed.u8(0x80 | mask);
        if (c.note)
            packed.u8(c.note);
        if (c.instrument)
            packed.u8(c.instrument);
        if (c.volume)
            packed.u8(c.volume);
        if (c.effect)
            packed.u8(c.effect);
        if (c.param)
            packed.u8(c.param);
    }
    out.u32(9);  // pattern header length
    out.u8(0);   // packing type
    out.u16(static_cast<unsigned>(pattern.rows));
    out.u16(static_cast<unsigned>(packed.data.size()));
    out.data.insert(out.data.end(), packed.data.begin(), packed.data.end());
}

void writeInstrument(Bytes& out, const Instrument& ins, const Sample& sample) {
    out.u32(kInstrumentSize);
    out.text(ins.name, 22, '\0');
    out.u8(0);   // type
    out.u16(1);  // one sample
    out.u32(kSampleHeaderSize);
    out.zeros(96);  // every note plays sample 0
    const Envelope& env = ins.envelope;
    for (size_t i = 0; i < 12; ++i) {
        out.u16(i < env.points.size() ? env.points[i].first : 0);
        out.u16(i < env.points.size() ? env.points[i].second : 0);
    }
    out.zeros(48);  // no panning envelope
    out.u8(static_cast<unsigned>(env.points.size()));
    out.u8(0);
    out.u8(env.sustain >= 0 ? env.sustain : 0);
    out.u8(0);  // volume loop start, end
    out.u8(0);
    out.zeros(3);  // panning sustain, loop start, loop end
    out.u8(env.points.empty() ? 0 : (env.sustain >= 0 ? 3 : 1));  // on, sustain
    out.u8(0);
    out.u8(ins.vibratoType);
    out.u8(ins.vibratoSweep);
    out.u8(ins.vibratoDepth);
    out.u8(ins.vibratoRate);
    out.u16(ins.fadeout);
    out.zeros(22);  // reserved

    out.u32(static_cast<uint32_t>(sample.data.size()));
    out.u32(sample.loopStart);
    out.u32(sample.loopLength);
    out.u8(ins.volume);
    out.u8(static_cast<uint8_t>(static_cast<int8_t>(sample.finetune)));
    out.u8(sample.loopType);
    out.u8(ins.panning);
    out.u8(static_cast<uint8_t>(static_cast<int8_t>(sample.relativeNote)));
    out.u8(0);
    out.text(ins.name, 22, '\0');
}

}  // namespace

std::vector<uint8_t> writeXm(const Song& song, const std::vector<Sample>& samples) {
    Bytes out;
    out.text("Extended Module: ", 17, ' ');
    out.text(song.title, 20, ' ');
    out.u8(0x1A);
    out.text("tidewatch-music", 20, ' ');
    out.u16(0x0104);
    out.u32(kHeaderSize);
    out.u16(static_cast<unsigned>(song.orders.size()));
    out.u16(static_cast<unsigned>(song.restart));
    out.u16(static_cast<unsigned>(song.channels));
    out.u16(static_cast<unsigned>(song.patterns.size()));
    out.u16(static_cast<unsigned>(song.instruments.size()));
    out.u16(1);  // linear frequency table
    out.u16(static_cast<unsigned>(song.speed));
    out.u16(static_cast<unsigned>(song.bpm));
    for (size_t i = 0; i < 256; ++i)
        out.u8(i < song.orders.size() ? song.orders[i] : 0);

    for (const Pattern& pattern : song.patterns)
        writePattern(out, pattern);

    for (size_t i = 0; i < song.instruments.size(); ++i) {
        writeInstrument(out, song.instruments[i], samples[i]);
        // Sample data as XM stores it: each byte the difference to the previous one.
        int8_t previous = 0;
        for (int8_t s : samples[i].data) {
            out.u8(static_cast<uint8_t>(s - previous));
            previous = s;
        }
    }
    return out.data;
}

}  // namespace tw::music

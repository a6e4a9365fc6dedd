// The module as the generator holds it between reading the text sources and writing the XM
// image: instruments with their synthesis recipes, patterns of cells, the order list.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tw::music {

enum class Wave { Sine, Saw, Square, Triangle, Noise };

// One oscillator or noise source with its own amplitude envelope and filters.
struct Layer {
    Wave wave = Wave::Sine;
    double hz = 0.0;          // fixed frequency; 0 means `ratio` times the instrument's base pitch
    double ratio = 1.0;       // multiple of the base pitch
    double cents = 0.0;       // detune
    double sweepFrom = 0.0;   // Hz the pitch starts at (0: no sweep)
    double sweepTime = 0.0;   // seconds, time constant of the fall from sweepFrom to the pitch
    double amp = 1.0;         // linear gain before the mix is normalised
    double attack = 0.0;      // seconds of linear rise
    double decay = 0.0;       // seconds, time constant of the exponential fall (0: none)
    double pulseWidth = 0.5;  // square only, fraction of the cycle spent high
    double lowpass = 0.0;     // Hz (0: off)
    double highpass = 0.0;    // Hz (0: off)
    double q = 0.707;         // resonance of both filters
    uint32_t seed = 1;        // noise only
};

// How an instrument's single sample is rendered.
struct Recipe {
    bool looped = false;
    // One-shot: rendered at `rate` Hz for `length` seconds, played back at that rate on C-4.
    double rate = 22050.0;
    double length = 0.0;
    // Looped: `period` samples per cycle of the base note's pitch, `cycles` cycles in the loop;
    // every tonal layer is tuned to a whole number of cycles per loop so it repeats seamlessly.
    int baseNote = 48;  // 0-based, 48 = C-4
    int period = 64;
    int cycles = 1;
    bool pingpong = false;
    double drive = 0.0;  // tanh saturation of the mix (0: clean)
    std::vector<Layer> layers;
};

struct Envelope {
    std::vector<std::pair<int, int>> points;  // (tick, volume 0..64)
    int sustain = -1;                         // point index held until key-off (-1: none)
};

struct Instrument {
    std::string name;
    Recipe recipe;
    int volume = 64;    // sample default volume, 0..64
    int panning = 128;  // 0 left .. 255 right
    Envelope envelope;
    int fadeout = 0;
    int vibratoType = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
};

// A rendered sample as XM stores it.
struct Sample {
    std::vector<int8_t> data;
    uint32_t loopStart = 0;
    uint32_t loopLength = 0;
    int loopType = 0;  // 0 none, 1 forward, 2 ping-pong
    int relativeNote = 0;
    int finetune = 0;  // 1/128 semitone
};

struct Cell {
    uint8_t note = 0;  // 1..96 = C-0..B-7, 97 = key-off, 0 = none
    uint8_t instrument = 0;
    uint8_t volume = 0;  // volume-column byte (0x10..0x50 = set volume 0..64)
    uint8_t effect = 0;
    uint8_t param = 0;
};

struct Pattern {
    int rows = 64;
    std::vector<Cell> cells;  // row-major: rows x channels
};

struct Song {
    std::string title;
    int channels = 4;
    int speed = 6;  // ticks per row
    int bpm = 125;
    std::vector<Instrument> instruments;  // instrument 1 is instruments[0]
    std::vector<Pattern> patterns;
    std::vector<int> orders;
    int restart = 0;
};

}  // namespace tw::music

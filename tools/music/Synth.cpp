#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace tw::music {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kXmC4Rate = 8363.0;  // XM plays a sample with relative note 0 at this rate on C-4
constexpr size_t kMaxSample = 65536;

// RBJ biquad; runs in double precision so the rendering is the same on every build.
class Biquad {
  public:
    Biquad(bool lowpass, double cutoff, double q, double rate) {
        const double w = 2.0 * kPi * std::min(cutoff, rate * 0.45) / rate;
        const double alpha = std::sin(w) / (2.0 * q);
        const double c = std::cos(w);
        const double a0 = 1.0 + alpha;
        const double side = lowpass ? (1.0 - c) / 2.0 : (1.0 + c) / 2.0;
        b0 = side / a0;
        b1 = (lowpass ? 1.0 - c : -(1.0 + c)) / a0;
        b2 = side / a0;
        a1 = -2.0 * c / a0;
        a2 = (1.0 - alpha) / a0;
    }
    double step(double x) {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }

  private:
    double b0, b1, b2, a1, a2;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
};

double waveAt(Wave wave, double phase, double pulseWidth, uint32_t& noise) {
    switch (wave) {
        case Wave::Sine:
            return std::sin(2.0 * kPi * phase);
        case Wave::Saw:
            return 2.0 * phase - 1.0;
        case Wave::Square:
            return phase < pulseWidth ? 1.0 : -1.0;
        case Wave::Triangle:
            return phase < 0.5 ? 4.0 * phase - 1.0 : 3.0 - 4.0 * phase;
        case Wave::Noise:
            noise = noise * 1664525u + 1013904223u;  // fixed LCG: same noise on every build
            return static_cast<double>(noise >> 8) / 8388608.0 - 1.0;
    }
    return 0.0;
}

// One layer's raw signal (before its filters) for `count` samples.
std::vector<double> oscillate(const Layer& layer, double pitch, double rate, size_t count,
                              bool envelopes) {
    std::vector<double> out(count);
    uint32_t noise = layer.seed;
    double phase = 0.0;
    for (size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / rate;
        double hz = pitch;
        if (layer.sweepFrom > 0.0 && layer.sweepTime > 0.0)
            hz += (layer.sweepFrom - pitch) * std::exp(-t / layer.sweepTime);
        double gain = layer.amp;
        if (envelopes) {
            if (layer.attack > 0.0 && t < layer.attack)
                gain *= t / layer.attack;
            if (layer.decay > 0.0)
                gain *= std::exp(-t / layer.decay);
        }
        out[i] = gain * waveAt(layer.wave, phase, layer.pulseWidth, noise);
        phase += hz / rate;
        phase -= std::floor(phase);
    }
    return out;
}

void filter(const Layer& layer, double rate, std::vector<double>& signal, size_t warmup) {
    for (int pass = 0; pass < 2; ++pass) {
        const double cutoff = pass == 0 ? layer.highpass : layer.lowpass;
        if (cutoff <= 0.0)
            continue;
        Biquad biquad(pass == 1, cutoff, layer.q, rate);
        // A looped signal is filtered in its steady state: run the filter over earlier
        // repetitions first so the loop's end meets its start.
        for (size_t i = 0; i < warmup; ++i)
            biquad.step(signal[i % signal.size()]);
        for (double& x : signal)
            x = biquad.step(x);
    }
}

}  // namespace

double notePitch(int note) {
    return 440.0 * std::pow(2.0, (note - 57) / 12.0);
}

Sample renderSample(const Recipe& recipe) {
    Sample sample;
    double rate = recipe.rate;
    size_t count = 0;
    double basePitch = notePitch(48);
    if (recipe.looped) {
        if (recipe.period < 2 || recipe.cycles < 1)
            throw std::runtime_error("loop needs a period of at least 2 and at least 1 cycle");
        basePitch = notePitch(recipe.baseNote);
        rate = basePitch * recipe.period;
        count = static_cast<size_t>(recipe.period) * recipe.cycles;
    } else {
        count = static_cast<size_t>(std::lround(recipe.length * rate));
    }
    if (count < 2 || count > kMaxSample)
        throw std::runtime_error("sample length " + std::to_string(count) + " is outside 2.." +
                                 std::to_string(kMaxSample));
    if (recipe.layers.empty())
        throw std::runtime_error("instrument has no layer");

    std::vector<double> mix(count, 0.0);
    for (const Layer& layer : recipe.layers) {
        double pitch = layer.hz > 0.0 ? layer.hz : basePitch * layer.ratio;
        pitch *= std::pow(2.0, layer.cents / 1200.0);
        if (recipe.looped && layer.wave != Wave::Noise) {
            const double cycles = std::round(pitch * static_cast<double>(count) / rate);
            if (cycles < 1.0)
                throw std::runtime_error("a layer is too low to fit one cycle into the loop");
            pitch = cycles * rate / static_cast<double>(count);
        }
        std::vector<double> signal = oscillate(layer, pitch, rate, count, !recipe.looped);
        filter(layer, rate, signal, recipe.looped ? std::max<size_t>(count * 8, 44100) : 0);
        for (size_t i = 0; i < count; ++i)
            mix[i] += signal[i];
    }
    if (recipe.drive > 0.0)
        for (double& x : mix)
            x = std::tanh(recipe.drive * x);
    if (recipe.looped) {
        // A held note must not carry an offset: it wastes 8-bit range and thumps at note ends.
        double mean = 0.0;
        for (double x : mix)
            mean += x;
        mean /= static_cast<double>(count);
        for (double& x : mix)
            x -= mean;
    }

    double peak = 0.0;
    for (double x : mix)
        peak = std::max(peak, std::fabs(x));
    if (peak <= 0.0)
        throw std::runtime_error("instrument renders silence");
    sample.data.resize(count);
    for (size_t i = 0; i < count; ++i)
        sample.data[i] = static_cast<int8_t>(std::lround(mix[i] / peak * 127.0));
    if (!recipe.looped) {
        // The tail of a decaying one-shot rounds to zero: leave it out.
        size_t end = sample.data.size();
        while (end > 2 && sample.data[end - 1] == 0)
            --end;
        sample.data.resize(end);
    } else {
        sample.loopStart = 0;
        sample.loopLength = static_cast<uint32_t>(count);
        sample.loopType = recipe.pingpong ? 2 : 1;
    }

    // The base note must sound at `rate`: rate = 8363 * 2^((48 - base + relative) / 12).
    const int base = recipe.looped ? recipe.baseNote : 48;
    const double shift = 12.0 * std::log2(rate / kXmC4Rate) + (48 - base);
    sample.relativeNote = static_cast<int>(std::lround(shift));
    sample.finetune = static_cast<int>(std::lround((shift - sample.relativeNote) * 128.0));
    if (sample.finetune > 127)
        sample.finetune = 127;
    if (sample.relativeNote < -96 || sample.relativeNote > 95)
        throw std::runtime_error("sample rate is out of the range XM can tune");
    return sample;
}

}  // namespace tw::music

// Generates the fbm picture: 256x256 grey fractional Brownian motion that tiles seamlessly.
//
// Usage: make_fbm OUTPUT.rec
// Octaves of value noise on lattices whose periods divide the picture size, so every octave (and
// the sum) repeats exactly every 256 texels. Value noise rather than gradient noise: its
// correlation falls to zero at one cell without a negative lobe, which gives features about one
// coarse cell (32 texels) across. The sum is levelled so that no half of the tile is brighter than
// the other, then scaled to the grey range the scene's clouds and logo dissolve are tuned to
// (mean 130, deviation 23).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "RecordFile.h"

namespace {

constexpr int kSize = 256;
constexpr double kTargetMean = 130.0;
constexpr double kTargetDeviation = 23.0;

// Lattice cell sizes in texels and their weights: the coarsest octave sets the feature size
// (about 32 texels), the finer ones add the cloud detail.
// Each octave's lattice is shifted by a whole number of texels (which keeps the period) so the
// lattice points of the octaves do not coincide and print a grid into the clouds.
struct Octave {
    int cell;
    double weight;
    int shiftX;
    int shiftY;
};
constexpr Octave kOctaves[] = {
    {32, 1.0, 0, 0}, {16, 0.58, 11, 5}, {8, 0.3364, 3, 6}, {4, 0.1951, 1, 3}, {2, 0.1132, 1, 0}};
// Hash seed; this one gives a range and feature size close to the targets.
constexpr uint32_t kSeed = 5;

// Small integer hash (fixed seed), so the picture is the same on every build.
uint32_t hash(uint32_t x, uint32_t y, uint32_t octave) {
    uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ octave * 0xcb1ab31fu ^
                 (0x5bd1e995u + kSeed * 0x9e3779b9u);
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

double fade(double t) {
    return t * t * t * (t * (t * 6.0 - 15.0) + 10.0);
}

// Value noise with a lattice of `period` cells in each direction, wrapping at the period.
double valueNoise(double x, double y, int period, uint32_t octave) {
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0;
    const double fy = y - y0;
    double corner[2][2];
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 2; ++i) {
            const uint32_t h = hash((x0 + i) % period, (y0 + j) % period, octave);
            corner[j][i] = (h & 0xffffu) / 65535.0 - 0.5;
        }
    const double u = fade(fx);
    const double v = fade(fy);
    const double bottom = corner[0][0] + (corner[0][1] - corner[0][0]) * u;
    const double top = corner[1][0] + (corner[1][1] - corner[1][0]) * u;
    return bottom + (top - bottom) * v;
}

// Removes the difference between the left and right halves, the top and bottom halves and the
// two diagonal quadrant pairs with the smoothest periodic waves that have those signs, so the
// four quadrants share one mean. The waves' period is the whole tile; finer detail is untouched.
void levelHalves(std::vector<double>& field) {
    std::vector<double> wave(kSize);
    for (int i = 0; i < kSize; ++i)
        wave[i] = std::sin(2.0 * M_PI * (i + 0.5) / kSize);
    double quadrant[2][2] = {};
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            quadrant[y / (kSize / 2)][x / (kSize / 2)] += field[y * kSize + x];
    const double quarter = kSize * kSize / 4.0;
    const double q00 = quadrant[0][0] / quarter, q01 = quadrant[0][1] / quarter;
    const double q10 = quadrant[1][0] / quarter, q11 = quadrant[1][1] / quarter;
    // Half-differences of the quadrant means; a wave's mean over a half period is 2/pi, and the
    // product of two waves' over a quadrant is (2/pi)^2.
    const double gain = M_PI / 2.0;
    const double ax = (q00 + q10 - q01 - q11) / 4.0 * gain;
    const double ay = (q00 + q01 - q10 - q11) / 4.0 * gain;
    const double axy = (q00 + q11 - q01 - q10) / 4.0 * gain * gain;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x)
            field[y * kSize + x] -= ax * wave[x] + ay * wave[y] + axy * wave[x] * wave[y];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fbm OUTPUT.rec\n");
        return 2;
    }
    std::vector<double> field(kSize * kSize, 0.0);
    uint32_t octaveIndex = 0;
    for (const Octave& octave : kOctaves) {
        const int period = kSize / octave.cell;
        for (int y = 0; y < kSize; ++y)
            for (int x = 0; x < kSize; ++x)
                field[y * kSize + x] +=
                    octave.weight * valueNoise(double(x + octave.shiftX) / octave.cell,
                                               double(y + octave.shiftY) / octave.cell, period,
                                               octaveIndex);
        ++octaveIndex;
    }

    levelHalves(field);

    double sum = 0.0;
    double sumSquares = 0.0;
    for (double value : field) {
        sum += value;
        sumSquares += value * value;
    }
    const double mean = sum / field.size();
    const double deviation = std::sqrt(sumSquares / field.size() - mean * mean);

    std::vector<uint8_t> pixels(field.size());
    for (size_t i = 0; i < field.size(); ++i) {
        const double grey = kTargetMean + (field[i] - mean) / deviation * kTargetDeviation;
        pixels[i] = static_cast<uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, grey))));
    }
    return tw::tools::writeRecord(argv[1], kSize, kSize, tw::tools::kFormatLuminance, pixels) ? 0
                                                                                              : 1;
}

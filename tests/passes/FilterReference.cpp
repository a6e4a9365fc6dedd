#include "passes/FilterReference.h"

#include <algorithm>
#include <cmath>

namespace tw::test {

namespace {

double luma(const Colour& c) {
    return 0.299 * c[0] + 0.587 * c[1] + 0.114 * c[2];
}

Colour mix(const Colour& a, const Colour& b, double t) {
    Colour out{};
    for (int i = 0; i < 4; ++i)
        out[i] = a[i] + (b[i] - a[i]) * t;
    return out;
}

Colour texel(const Image& image, int x, int y) {
    const Rgba t = image.at(std::clamp(x, 0, image.width - 1), std::clamp(y, 0, image.height - 1));
    return {t[0] / 255.0, t[1] / 255.0, t[2] / 255.0, t[3] / 255.0};
}

// Bilinear sample at texture coordinate (u, v), clamped to the edge texels.
Colour sampleBilinear(const Image& image, double u, double v) {
    const double s = u * image.width - 0.5;
    const double t = v * image.height - 0.5;
    const int x0 = static_cast<int>(std::floor(s));
    const int y0 = static_cast<int>(std::floor(t));
    const double fx = s - x0;
    const double fy = t - y0;
    const Colour bottom = mix(texel(image, x0, y0), texel(image, x0 + 1, y0), fx);
    const Colour top = mix(texel(image, x0, y0 + 1), texel(image, x0 + 1, y0 + 1), fx);
    return mix(bottom, top, fy);
}

// A luma closer than this to the range bounds may fall either way on the GL: its filtering
// weights and blends carry about 8 bits.
constexpr double kDecisionMargin = 1.5 / 255.0;

ExpectedPixel fxaaAt(const Image& source, int x, int y) {
    const double rx = 1.0 / source.width;
    const double ry = 1.0 / source.height;
    const double px = (x + 0.5) * rx;
    const double py = (y + 0.5) * ry;
    auto fetch = [&](double u, double v) { return sampleBilinear(source, u, v); };

    const double ox = px - rx * 0.75;
    const double oy = py - ry * 0.75;
    const double l00 = luma(fetch(ox, oy));
    const double l10 = luma(fetch(ox + rx, oy));
    const double l01 = luma(fetch(ox, oy + ry));
    const double l11 = luma(fetch(ox + rx, oy + ry));
    const Colour centre = fetch(px, py);
    const double lM = luma(centre);
    const double lumaMin = std::min({lM, l00, l10, l01, l11});
    const double lumaMax = std::max({lM, l00, l10, l01, l11});

    double dx = -((l00 + l10) - (l01 + l11));
    double dy = (l00 + l01) - (l10 + l11);
    const double reduce = std::max((l00 + l10 + l01 + l11) * (0.25 / 8.0), 1.0 / 128.0);
    const double rcpDirMin = 1.0 / (std::min(std::abs(dx), std::abs(dy)) + reduce);
    dx = std::clamp(dx * rcpDirMin, -8.0, 8.0) * rx;
    dy = std::clamp(dy * rcpDirMin, -8.0, 8.0) * ry;

    auto along = [&](double t) { return fetch(px + dx * t, py + dy * t); };
    const Colour a1 = along(1.0 / 3.0 - 0.5);
    const Colour a2 = along(2.0 / 3.0 - 0.5);
    const Colour b1 = along(-0.5);
    const Colour b2 = along(0.5);
    Colour rgbA{};
    Colour rgbB{};
    for (int i = 0; i < 3; ++i) {
        rgbA[i] = 0.5 * (a1[i] + a2[i]);
        rgbB[i] = rgbA[i] * 0.5 + 0.25 * (b1[i] + b2[i]);
    }
    rgbA[3] = rgbB[3] = centre[3];

    const double lumaB = luma(rgbB);
    const bool wide = !(lumaB < lumaMin || lumaB > lumaMax);
    ExpectedPixel out{wide ? rgbB : rgbA, wide ? rgbA : rgbB, false};
    out.eitherBlur =
        std::min(std::abs(lumaB - lumaMin), std::abs(lumaB - lumaMax)) < kDecisionMargin;
    return out;
}

ExpectedPixel postFxAt(const Image& source, int x, int y) {
    const double vx = (x + 0.5) / source.width * 2.0 - 1.0;
    const double vy = (y + 0.5) / source.height * 2.0 - 1.0;
    const double gx = vx * 0.5 + 0.5;
    const double gy = vy * 0.5 + 0.5;
    const double bx = vx / source.width * 3.0;
    const double by = vy / source.height * 3.0;
    const double w = 0.5 + 0.5 * gx * gy * (1.0 - gx) * (1.0 - gy) * 28.0;
    Colour c{sampleBilinear(source, gx + bx, gy + by)[0], sampleBilinear(source, gx, gy)[1],
             sampleBilinear(source, gx - bx, gy - by)[2], 1.0};
    for (int i = 0; i < 3; ++i)
        c[i] = std::min(c[i] * w, 1.0);
    return {c, c, false};
}

}  // namespace

Image makeImage(int width, int height, const std::function<Rgba(int x, int y)>& texel) {
    Image image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgba t = texel(x, y);
            for (int c = 0; c < 4; ++c)
                image.pixels[(static_cast<size_t>(y) * width + x) * 4 + c] =
                    static_cast<uint8_t>(t[c]);
        }
    }
    return image;
}

std::vector<ExpectedPixel> fxaaReference(const Image& source) {
    std::vector<ExpectedPixel> out;
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x)
            out.push_back(fxaaAt(source, x, y));
    return out;
}

std::vector<ExpectedPixel> postFxReference(const Image& source) {
    std::vector<ExpectedPixel> out;
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x)
            out.push_back(postFxAt(source, x, y));
    return out;
}

}  // namespace tw::test

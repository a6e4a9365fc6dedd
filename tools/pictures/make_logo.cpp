// Generates the logo picture: the TIDEWATCH logotype, 1920x608 RGBA, on a transparent background.
//
// Usage: make_logo SHAPES.txt OUTPUT.rec
// The letters come from the box-and-cut descriptions in logo_shapes.txt. Each pixel takes the
// signed distance to the lettering's outline (negative inside): far from the outline the pixel is
// plainly inside or outside; within a pixel or two of it, 4x4 samples give the coverage, so only
// the outline is anti-aliased. Inside, a rounded bevel of grey metal runs along the outline and the
// rest is a blue face, lit from the upper left.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "RecordFile.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 608;
constexpr double kCapHeight = 100.0;  // design units

struct Box {
    double x0, y0, x1, y1, radius;
    // Signed distance in design units from (x, y) to the rounded rectangle.
    double distance(double x, double y) const {
        const double cx = (x0 + x1) * 0.5, cy = (y0 + y1) * 0.5;
        const double qx = std::fabs(x - cx) - ((x1 - x0) * 0.5 - radius);
        const double qy = std::fabs(y - cy) - ((y1 - y0) * 0.5 - radius);
        const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
        return outside + std::min(std::max(qx, qy), 0.0) - radius;
    }
};

struct Letter {
    std::string name;
    double width = 0.0;
    double left = 0.0;  // position in the word, design units
    std::vector<Box> boxes;
    std::vector<Box> cuts;
};

struct Design {
    int left = 0, top = 0, right = 0, bottom = 0;
    double margin = 0.0, slant = 0.0, bevel = 0.0;
    std::vector<Letter> letters;
    int boundsLine = 0;  // where the source sets the bounds, for errors found later
    // Derived placement: pixels per unit, the baseline row and the word's left edge in pixels.
    double scale = 0.0, baseline = 0.0, origin = 0.0;
};

bool fail(const std::string& path, int line, const std::string& what) {
    std::fprintf(stderr, "%s:%d: %s\n", path.c_str(), line, what.c_str());
    return false;
}

bool readDesign(const std::string& path, Design& design) {
    std::ifstream in(path);
    if (!in)
        return fail(path, 0, "cannot read");
    std::string text;
    int lineNumber = 0;
    bool haveBounds = false;
    while (std::getline(in, text)) {
        ++lineNumber;
        text = text.substr(0, text.find(';'));
        std::istringstream line(text);
        std::string keyword;
        if (!(line >> keyword))
            continue;
        bool ok = true;
        if (keyword == "bounds") {
            ok = static_cast<bool>(line >> design.left >> design.top >> design.right >>
                                   design.bottom) &&
                 design.left < design.right && design.top < design.bottom;
            haveBounds = ok;
            design.boundsLine = lineNumber;
        } else if (keyword == "margin") {
            ok = static_cast<bool>(line >> design.margin) && design.margin >= 0.0;
        } else if (keyword == "slant") {
            ok = static_cast<bool>(line >> design.slant);
        } else if (keyword == "bevel") {
            ok = static_cast<bool>(line >> design.bevel);
        } else if (keyword == "letter") {
            Letter letter;
            ok = static_cast<bool>(line >> letter.name >> letter.width) && letter.width > 0.0;
            design.letters.push_back(letter);
        } else if (keyword == "box" || keyword == "cut") {
            if (design.letters.empty())
                return fail(path, lineNumber, "shape before the first letter");
            Box box{0, 0, 0, 0, 0};
            ok = static_cast<bool>(line >> box.x0 >> box.y0 >> box.x1 >> box.y1) &&
                 box.x1 > box.x0 && box.y1 > box.y0;
            // The radius is optional; a word that is there must be a number.
            if (ok && !(line >> std::ws).eof())
                ok = static_cast<bool>(line >> box.radius);
            ok = ok && box.radius >= 0.0;
            if (ok && 2.0 * box.radius > std::min(box.x1 - box.x0, box.y1 - box.y0))
                return fail(path, lineNumber,
                            "corner radius larger than half the " + keyword + "'s shorter side");
            (keyword == "box" ? design.letters.back().boxes : design.letters.back().cuts)
                .push_back(box);
        } else {
            return fail(path, lineNumber, "unknown keyword " + keyword);
        }
        if (!ok)
            return fail(path, lineNumber, "malformed " + keyword + " line");
        if (!(line >> std::ws).eof())
            return fail(path, lineNumber, "unexpected text after the " + keyword + " values");
    }
    if (!haveBounds || design.letters.empty())
        return fail(path, lineNumber, "needs bounds and at least one letter");
    if (design.left < 0 || design.top < 0 || design.right >= kWidth || design.bottom >= kHeight)
        return fail(path, design.boundsLine, "bounds outside the picture");
    if (2.0 * design.margin >= design.bottom - design.top + 1)
        return fail(path, design.boundsLine, "the margin leaves no room inside the bounds");
    return true;
}

// Horizontal extent of the slanted word in design units, letters set edge to edge (gap 0) and
// then spread by `gap`: leftmost and rightmost corner of any box after the slant.
void wordExtent(const Design& design, double gap, double& left, double& right) {
    left = 1e9;
    right = -1e9;
    double x = 0.0;
    for (const Letter& letter : design.letters) {
        for (const Box& box : letter.boxes) {
            left = std::min(left, x + box.x0 + design.slant * std::max(box.y0, 0.0));
            right = std::max(right, x + box.x1 + design.slant * std::min(box.y1, kCapHeight));
        }
        x += letter.width + gap;
    }
}

// Fits the word into the bounds: the height sets the scale, the spare width the letter spacing.
bool placeWord(const std::string& path, Design& design) {
    const double height = design.bottom - design.top + 1 - 2.0 * design.margin;
    const double width = design.right - design.left + 1 - 2.0 * design.margin;
    design.scale = height / kCapHeight;
    double left = 0.0, right = 0.0;
    wordExtent(design, 0.0, left, right);
    const size_t gaps = design.letters.size() - 1;
    const double gap = gaps > 0 ? (width / design.scale - (right - left)) / gaps : 0.0;
    if (gap < 0.0)
        return fail(path, design.boundsLine, "letters are too wide for the bounds");
    double x = 0.0;
    for (Letter& letter : design.letters) {
        letter.left = x;
        x += letter.width + gap;
    }
    design.baseline = design.bottom + 1 - design.margin;  // pixel edge below the lowest ink
    design.origin = design.left + design.margin - left * design.scale;
    return true;
}

// Signed distance in pixels from the picture point (px, py) (py counted downward from the top
// edge) to the lettering. The slant shears the letters; at these small angles the sheared field
// stays close enough to a true distance for the bevel and the anti-aliasing.
double distanceAt(const Design& design, double px, double py) {
    const double y = (design.baseline - py) / design.scale;
    const double x = (px - design.origin) / design.scale - design.slant * y;
    double nearest = 1e9;
    for (const Letter& letter : design.letters) {
        const double lx = x - letter.left;
        if (lx < -nearest || lx > letter.width + nearest)
            continue;
        double inLetter = 1e9;
        for (const Box& box : letter.boxes)
            inLetter = std::min(inLetter, box.distance(lx, y));
        for (const Box& cut : letter.cuts)
            inLetter = std::max(inLetter, -cut.distance(lx, y));
        nearest = std::min(nearest, inLetter);
    }
    return nearest * design.scale;
}

struct Colour {
    double r, g, b;
};

// Colour of the lettering at a point `depth` pixels inside the outline, whose outward direction
// (unit, picture axes with y upward) is (nx, ny); `height` is 0 at the top of the word, 1 at the
// bottom.
Colour shade(const Design& design, double depth, double nx, double ny, double height) {
    if (depth < design.bevel) {
        // A rounded rim: steep at the outline, flattening towards the face.
        const double slope = 2.4 * (1.0 - depth / design.bevel);
        const double norm = std::sqrt(slope * slope + 1.0);
        const double sx = nx * slope / norm, sy = ny * slope / norm, sz = 1.0 / norm;
        // Chrome: the view reflected about the surface picks up a bright sky above a dark
        // horizon line and a mid-grey ground below.
        const double up = 2.0 * sz * sy;
        const double environment =
            up > 0.0 ? 0.62 + 0.38 * std::sqrt(up) : 0.50 + 0.05 * up - 0.42 * std::exp(up * 9.0);
        // Light from the upper left, slightly in front of the picture.
        const double lx = -0.55, ly = 0.62, lz = 0.56;
        const double lambert = std::max(0.0, sx * lx + sy * ly + sz * lz);
        const double reflectedZ = 2.0 * lambert * sz - lz;
        const double highlight = std::pow(std::max(0.0, reflectedZ), 30.0);
        // A little ambient light keeps the sides turned away from the light dark grey, not black.
        const double grey = 0.10 + 0.50 * environment * (0.45 + 0.55 * lambert) +
                            0.38 * lambert * lambert + 0.5 * highlight;
        return {grey, grey, grey};
    }
    // The face: blue, brighter towards the top, with a faint sheen across the upper third.
    const double sheen = 0.10 * std::exp(-std::pow((height - 0.28) / 0.08, 2.0));
    return {0.10 + 0.14 * (1.0 - height) + sheen, 0.27 + 0.30 * (1.0 - height) + sheen,
            0.64 + 0.34 * (1.0 - height) + sheen};
}

uint8_t toByte(double value) {
    return static_cast<uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

std::vector<uint8_t> render(const Design& design) {
    std::vector<uint8_t> pixels(kWidth * kHeight * 4, 0);
    const double wordTop = design.top + design.margin;
    const double wordHeight = design.bottom + 1 - design.margin - wordTop;
    for (int row = 0; row < kHeight; ++row) {
        for (int column = 0; column < kWidth; ++column) {
            const double px = column + 0.5, py = row + 0.5;
            const double d = distanceAt(design, px, py);
            if (d > 1.5)
                continue;  // clearly outside: stays (0, 0, 0, 0)

            // Coverage and colour: one sample well inside, 4x4 near the outline or the rim's
            // inner edge, so both transitions are smooth.
            const bool nearEdge = d > -1.5 || std::fabs(-d - design.bevel) < 1.5;
            const int samples = nearEdge ? 4 : 1;
            double covered = 0.0, r = 0.0, g = 0.0, b = 0.0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const double qx = samples == 1 ? px : column + (sx + 0.5) / samples;
                    const double qy = samples == 1 ? py : row + (sy + 0.5) / samples;
                    const double dq = samples == 1 ? d : distanceAt(design, qx, qy);
                    if (dq > 0.0)
                        continue;
                    // Outward direction from the distance gradient (y flipped to point up).
                    const double e = 0.5;
                    double gx = distanceAt(design, qx + e, qy) - distanceAt(design, qx - e, qy);
                    double gy = distanceAt(design, qx, qy - e) - distanceAt(design, qx, qy + e);
                    const double length = std::hypot(gx, gy);
                    gx = length > 0.0 ? gx / length : 0.0;
                    gy = length > 0.0 ? gy / length : 0.0;
                    const Colour c = shade(design, -dq, gx, gy, (qy - wordTop) / wordHeight);
                    covered += 1.0;
                    r += c.r;
                    g += c.g;
                    b += c.b;
                }
            }
            if (covered == 0.0)
                continue;
            uint8_t* pixel = &pixels[(row * kWidth + column) * 4];
            // Colour is the average over the covered samples (not premultiplied).
            pixel[0] = toByte(r / covered);
            pixel[1] = toByte(g / covered);
            pixel[2] = toByte(b / covered);
            pixel[3] = toByte(covered / (samples * samples));
            if (pixel[3] == 0)
                pixel[0] = pixel[1] = pixel[2] = 0;
        }
    }
    return pixels;
}

// Every visible pixel must lie inside the bounds the scene's logo window expects.
bool checkBounds(const std::string& path, const Design& design,
                 const std::vector<uint8_t>& pixels) {
    for (int row = 0; row < kHeight; ++row)
        for (int column = 0; column < kWidth; ++column)
            if (pixels[(row * kWidth + column) * 4 + 3] != 0 &&
                (row < design.top || row > design.bottom || column < design.left ||
                 column > design.right)) {
                return fail(path, design.boundsLine,
                            "ink at column " + std::to_string(column) + ", row " +
                                std::to_string(row) + " lies outside the bounds");
            }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_logo SHAPES.txt OUTPUT.rec\n");
        return 2;
    }
    Design design;
    if (!readDesign(argv[1], design) || !placeWord(argv[1], design))
        return 1;
    const std::vector<uint8_t> pixels = render(design);
    if (!checkBounds(argv[1], design, pixels))
        return 1;
    return tw::tools::writeRecord(argv[2], kWidth, kHeight, tw::tools::kFormatRgba, pixels) ? 0 : 1;
}

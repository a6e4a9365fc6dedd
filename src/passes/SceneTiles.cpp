#include "passes/SceneTiles.h"

#include <algorithm>
#include <cmath>

#include "assets/ImageRecord.h"
#include "passes/SceneFormulas.h"

namespace tw {

namespace {

// The shaders' own constants, camera, logo area and sphere paths.
using sceneformulas::EYE;
using sceneformulas::LETTER_BAND_CENTRE;
using sceneformulas::LETTER_BAND_HALF;
using sceneformulas::SPHERE_COUNT;
using sceneformulas::vec2;
using sceneformulas::vec3;
using sceneformulas::WALL_X;

// Margins for the GL's rounding, which differs from the CPU's: rays this close to the horizon,
// this close to the letters' band or the logo's area, and spheres this much larger all count
// (sphereMargin()).
constexpr float kHorizonMargin = 1e-3f;
constexpr float kBandMargin = .05f;
constexpr float kLogoMargin = 1e-3f;
constexpr float kSphereMargin = .05f;
// The spheres' angles are k t + c, k from 2 to 5 radians a second and |c| < 2 pi, which the
// classifier computes with the GL's float operations. A GPU's may still differ, each way by up
// to 1.5 A 2^-23 for A = k |t| + 2 pi: a fused multiply-add skips the product's rounding (half an
// ulp of k t, then the two sums round apart, half an ulp of A each); and its sin and cos take
// turns, the angle times a float 1 / (2 pi) rounded toward zero (relative errors 2^-24 and 2^-23).
// Their cores' own error, about 2^-21 on [-pi, pi], and the rounding of the mixes stay inside
// kSphereMargin. An angle off by d moves the ring by 2.5 d across (k = 2) and .5 d up (k = 3), the
// row by .7 d (k = 5), the grid by d (k = 4) and the hops 1.5 |sin|^6 by at most
// 1.5 x 6 max |sin^5 cos| d = 2.33 d (k = 3); the formations' weights take no sin or cos, and a mix
// of them errs no more than the worst. Per second of |t|: the largest of k times the rate, the
// hops' 2.33 x 3 = 7 (the ring's hypot(2.5 x 2, .5 x 3) = 5.2), times 3 x 2^-23: 2.5e-6 units,
// .216 at 86,400 s.
constexpr float kSphereMarginPerSecond = 21.f / (1 << 23);
// For the spheres' shadows on the floor, beyond the spheres' own margin: floor points this much
// farther out, a sun this far off in direction per unit of distance (the GL's asin, atan, sin and
// cos err far less), and slack per squared unit of distance for the shader's rounding of a ray's
// clearance, computed as a difference of squares (about 3e-7 per squared unit).
constexpr double kFloorMargin = .01;
constexpr double kSunMargin = 1e-4;
constexpr double kClearanceSlack = 1e-5;

// What a camera ray can meet, the spheres left out: only sky upward, only floor downward unless
// it may cross the band of letters on the wall first.
SceneTiles::Class classOf(vec3 d) {
    const float t = (WALL_X - EYE.x) / d.x;
    if (t > 0.f && std::fabs(EYE.y + d.y * t - LETTER_BAND_CENTRE) < LETTER_BAND_HALF + kBandMargin)
        return SceneTiles::kGeneral;
    if (d.y > kHorizonMargin)
        return SceneTiles::kSky;
    if (d.y < -kHorizonMargin)
        return SceneTiles::kFloor;
    return SceneTiles::kGeneral;
}

// The shader's v at the centre of pixel `i` of `size` along one axis.
float pixelCentre(int i, int size) {
    return (static_cast<float>(i) + .5f) / static_cast<float>(size) * 2.f - 1.f;
}

// Double-precision vectors for the bounds, so that a single ray's float rounding (about 1e-7)
// stays far inside the margin they are given.
struct Dvec {
    double x, y, z;
};

Dvec operator+(Dvec a, Dvec b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Dvec operator*(Dvec a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
double length(Dvec a) {
    return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
}
Dvec widen(vec3 a) {
    return {a.x, a.y, a.z};
}
double dot(Dvec a, Dvec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// cameraRay() of scene_camera in double, from the part's own pieces: imagePoint() is affine in the
// screen position, so its value at (0, 0) and its steps along x and y (exact in float) give it
// whole; then cameraBasis() and RAY_LIFT.
struct CameraFrame {
    Dvec origin, alongX, alongY;  // imagePoint(s) = origin + alongX s.x + alongY s.y
    Dvec right, up, forward, lift;

    explicit CameraFrame(float aspect) {
        const vec3 o = sceneformulas::imagePoint(vec2(0.f, 0.f), aspect);
        const vec3 x = sceneformulas::imagePoint(vec2(1.f, 0.f), aspect);
        const vec3 y = sceneformulas::imagePoint(vec2(0.f, 1.f), aspect);
        origin = widen(o);
        alongX = {double(x.x) - o.x, double(x.y) - o.y, double(x.z) - o.z};
        alongY = {double(y.x) - o.x, double(y.y) - o.y, double(y.z) - o.z};
        const sceneformulas::mat3 basis = sceneformulas::cameraBasis();
        right = widen(basis.c0);
        up = widen(basis.c1);
        forward = widen(basis.c2);
        lift = widen(sceneformulas::RAY_LIFT);
    }

    Dvec imagePoint(double sx, double sy) const { return origin + alongX * sx + alongY * sy; }
    // The basis applied to q, then the lift.
    Dvec turn(Dvec q) const { return right * q.x + up * q.y + forward * q.z + lift; }
    // The unit camera ray at screen position s.
    Dvec ray(double sx, double sy) const {
        const Dvec p = imagePoint(sx, sy);
        const Dvec v = turn(p * (1. / length(p)));
        return v * (1. / length(v));
    }
};

// Where the floor tile between pixel centres [x0, x1] x [y0, y1] (the shader's v) meets the
// floor: the camera maps the screen to the floor by a projective map, which takes the rectangle to
// the quadrilateral of its corners' floor points, and that lies within the smallest circle about
// their mean that holds them. Its radius takes in the GL's rounding of a ray, which moves the
// floor point by about 1e-7 of its distance over the ray's steepness.
void boundFloor(const CameraFrame& camera, float x0, float x1, float y0, float y1,
                SceneTiles::Tile& tile) {
    Dvec corners[4];
    double error = 0.;
    for (int i = 0; i < 4; ++i) {
        const Dvec d = camera.ray(i & 1 ? x1 : x0, i & 2 ? y1 : y0);
        const double t = -double(EYE.y) / d.y;
        corners[i] = widen(EYE) + d * t;
        error = std::max(error, t * 1e-6 * (1. + 1. / std::fabs(d.y)));
    }
    const Dvec centre = (corners[0] + corners[1] + corners[2] + corners[3]) * .25;
    double reach = 0.;
    for (const Dvec& corner : corners)
        reach = std::max(reach, length(corner + centre * -1.));
    tile.floorCentre[0] = static_cast<float>(centre.x);
    tile.floorCentre[1] = static_cast<float>(centre.z);
    tile.floorReach = static_cast<float>(reach + error + 1e-6 * length(centre));
}

// Bounds on the camera rays through every pixel centre of a block, from the ray through its middle:
// cameraRay() normalizes the image point p to q, then v = M q + lift to the ray. x / |x| moves a
// point by at most its own move over the smallest |x| along the way, and M turns without
// stretching, so each ray lies within `reach` of the middle ray, and each v within `reachV` of the
// middle v. What the rays can meet, the spheres left out, errs toward kGeneral as classOf() does
// per ray.
struct BlockRays {
    Dvec middle;   // the middle ray, unit length
    double reach;  // distance from it to any ray of the block
    SceneTiles::Class fixed;

    // [x0, x1] and [y0, y1]: the first and last pixel centres of the block, the shader's v.
    BlockRays(const CameraFrame& camera, float x0, float x1, float y0, float y1) {
        const Dvec p = camera.imagePoint((double(x0) + x1) * .5, (double(y0) + y1) * .5);
        const Dvec v = camera.turn(p * (1. / length(p)));
        const double vLength = length(v);
        middle = v * (1. / vLength);

        // The smallest |p| over the block: the plane's origin and steps are orthogonal, so where
        // the screen position is nearest 0 along each axis.
        const double nearX = x0 <= 0.f && x1 >= 0.f ? 0. : std::min(std::fabs(x0), std::fabs(x1));
        const double nearY = y0 <= 0.f && y1 >= 0.f ? 0. : std::min(std::fabs(y0), std::fabs(y1));
        const double halfDiagonal = length(camera.alongX * ((double(x1) - x0) * .5) +
                                           camera.alongY * ((double(y1) - y0) * .5));
        const double reachV = halfDiagonal / length(camera.imagePoint(nearX, nearY));
        // A block so wide that v may come near 0 (a target a few pixels across) may hold any ray.
        reach = reachV < vLength ? reachV / (vLength - reachV) + 1e-6 : 2.;

        // The band of letters: y = eye.y + d.y t on x = WALL_X, t = (WALL_X - eye.x) / d.x > 0. For
        // the rays with d.x < 0 it holds y within the band as a slope d.y / d.x between two bounds,
        // that is d.y between two lines through the origin over d.x; checked over the box around
        // the v within reach.
        bool band = false;
        const double vxLow = v.x - reachV - 1e-6, vxHigh = std::min(v.x + reachV + 1e-6, 0.);
        if (vxLow < 0.) {
            const double distance = double(WALL_X) - EYE.x;
            const double lowSlope =
                (double(LETTER_BAND_CENTRE) + LETTER_BAND_HALF + kBandMargin - EYE.y) / distance;
            const double highSlope =
                (double(LETTER_BAND_CENTRE) - LETTER_BAND_HALF - kBandMargin - EYE.y) / distance;
            const double lowest = std::min(vxLow * highSlope, vxHigh * highSlope) - 1e-6;
            const double highest = std::max(vxLow * lowSlope, vxHigh * lowSlope) + 1e-6;
            band = v.y + reachV > lowest && v.y - reachV < highest;
        }
        if (band)
            fixed = SceneTiles::kGeneral;
        else if (middle.y - reach > kHorizonMargin)
            fixed = SceneTiles::kSky;
        else if (middle.y + reach < -kHorizonMargin)
            fixed = SceneTiles::kFloor;
        else
            fixed = SceneTiles::kGeneral;
    }

    // The farthest any of the rays can be from unit vector `axis`.
    double farthestFrom(Dvec axis) const {
        return length({middle.x - axis.x, middle.y - axis.y, middle.z - axis.z}) + reach;
    }
};

// Pixels per side of the blocks that layOut() bounds: the smallest that keeps their number within
// a budget, so a small target is bounded almost pixel by pixel and a large one still takes no
// more than about a millisecond.
int blockSize(int width, int height) {
    constexpr long kBlockBudget = 40000;
    auto blocks = [width, height](int size) {
        return static_cast<long>((width + size - 1) / size) * ((height + size - 1) / size);
    };
    int size = 1;
    while (size < SceneTiles::kTileSize && blocks(size) > kBlockBudget)
        size *= 2;
    return size;
}

// How far, in texels of level 0, a read of the logo at level-of-detail `lod` may reach from its
// coordinate. Trilinear filtering reads levels floor(lod) and the next, L at most; a texel of
// level L is made from level-0 texels within 2^L of its own square (the GL's box filter, three
// taps a side where a size is odd), and the bilinear read takes texels within one of the
// coordinate: 3 x 2^L in all, held by 4 x 2^L with .01 of slack in the GL's level of detail.
double logoReach(double lod) {
    const int level = std::max(0, static_cast<int>(std::floor(lod + .01)) + 1);
    return std::ldexp(4., std::min(level, 30)) + 2.;
}

}  // namespace

bool SceneTiles::clearInLogo(double x0, double x1, double y0, double y1) const {
    // The texture repeats: blocks are taken modulo its size, and a span wider than it is never
    // clear.
    const long firstX = static_cast<long>(std::floor(x0 / kLogoBlock));
    const long lastX = static_cast<long>(std::floor(x1 / kLogoBlock));
    const long firstY = static_cast<long>(std::floor(y0 / kLogoBlock));
    const long lastY = static_cast<long>(std::floor(y1 / kLogoBlock));
    if (lastX - firstX >= logoBlockColumns || lastY - firstY >= logoBlockRows)
        return false;
    for (long by = firstY; by <= lastY; ++by) {
        const long row = ((by % logoBlockRows) + logoBlockRows) % logoBlockRows;
        for (long bx = firstX; bx <= lastX; ++bx) {
            const long column = ((bx % logoBlockColumns) + logoBlockColumns) % logoBlockColumns;
            if (logoBlocks[row * logoBlockColumns + column] != 0)
                return false;
        }
    }
    return true;
}

void SceneTiles::pixelRay(int x, int y, int width, int height, float ray[3]) {
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    const vec3 d =
        sceneformulas::cameraRay(vec2(pixelCentre(x, width), pixelCentre(y, height)), aspect);
    ray[0] = d.x;
    ray[1] = d.y;
    ray[2] = d.z;
}

SceneTiles::Class SceneTiles::rayClass(const float ray[3]) {
    return classOf({ray[0], ray[1], ray[2]});
}

void SceneTiles::layOut(int width, int height) {
    this->width = width;
    this->height = height;
    tileColumns = (width + kTileSize - 1) / kTileSize;
    tileRows = (height + kTileSize - 1) / kTileSize;
    tiles.assign(static_cast<size_t>(tileColumns) * tileRows, Tile{});
    frameClasses.assign(tiles.size(), kGeneral);
    // No frame at this size yet: no boxes, rather than the last size's.
    for (auto& list : classBoxes)
        list.clear();
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    const CameraFrame camera(aspect);
    const ImageRecord logo = logoRecord();
    const int logoWidth = static_cast<int>(logo.width()),
              logoHeight = static_cast<int>(logo.height());
    if (logoBlocks.empty()) {
        logoBlockColumns = (logoWidth + kLogoBlock - 1) / kLogoBlock;
        logoBlockRows = (logoHeight + kLogoBlock - 1) / kLogoBlock;
        logoBlocks.assign(static_cast<size_t>(logoBlockColumns) * logoBlockRows, 0);
        for (int y = 0; y < logoHeight; ++y)
            for (int x = 0; x < logoWidth; ++x)
                if (logo.pixels()[(static_cast<size_t>(y) * logoWidth + x) * 4 + 3] != 0)
                    logoBlocks[(y / kLogoBlock) * logoBlockColumns + x / kLogoBlock] = 1;
    }
    // logoCoordinate() is affine in the screen position with no cross terms, so its texels per
    // pixel are the same everywhere, and so is the GL's level of detail.
    const vec2 logoOrigin = sceneformulas::logoCoordinate(vec2(0.f, 0.f), aspect);
    const vec2 logoStep = sceneformulas::logoCoordinate(vec2(1.f, 1.f), aspect);
    // In texels of level 0: where v = 0 reads, and the change per unit of v.
    const double logoX = double(logoOrigin.x) * logoWidth,
                 logoY = double(logoOrigin.y) * logoHeight;
    const double logoScaleX = (double(logoStep.x) - logoOrigin.x) * logoWidth;
    const double logoScaleY = (double(logoStep.y) - logoOrigin.y) * logoHeight;
    const double reach =
        logoReach(std::log2(std::max(logoScaleX * 2. / width, logoScaleY * 2. / height)));
    const int block = blockSize(width, height);
    // The first and last pixel centre of each block along each axis (v rises with the pixel).
    auto spans = [block](int size) {
        std::vector<std::pair<float, float>> out;
        for (int first = 0; first < size; first += block) {
            const int last = std::min(size, first + block) - 1;
            out.push_back({pixelCentre(first, size), pixelCentre(last, size)});
        }
        return out;
    };
    const auto columnSpans = spans(width);
    const auto rowSpans = spans(height);
    const int blocksPerTile = kTileSize / block;

    for (int row = 0; row < tileRows; ++row) {
        for (int column = 0; column < tileColumns; ++column) {
            Tile& tile = tiles[row * tileColumns + column];
            const int firstX = column * kTileSize, lastX = std::min(width, firstX + kTileSize) - 1;
            const int firstY = row * kTileSize, lastY = std::min(height, firstY + kTileSize) - 1;
            const float left = pixelCentre(firstX, width), right = pixelCentre(lastX, width);
            const float bottom = pixelCentre(firstY, height), top = pixelCentre(lastY, height);
            // The logo's area holds, with any point, those nearer x = 0 and higher: the tile meets
            // it where its top row's pixel centre nearest x = 0 does, moved toward it by the
            // margin.
            const float nearestX =
                left <= 0.f && right >= 0.f ? 0.f : std::min(std::fabs(left), std::fabs(right));
            tile.logo = sceneformulas::inLogoArea(
                vec2(std::max(nearestX - kLogoMargin, 0.f), top + kLogoMargin));
            // The texels that the reads at the tile's pixels, a texel centre at each half-integer
            // (texel = coordinate x size), may reach. The logo's coordinate rises with v.
            tile.clearLogo =
                tile.logo &&
                clearInLogo(logoX + left * logoScaleX - reach, logoX + right * logoScaleX + reach,
                            logoY + bottom * logoScaleY - reach, logoY + top * logoScaleY + reach);

            // The cone's axis: the ray through the middle of the tile's pixel centres.
            const BlockRays whole(camera, left, right, bottom, top);
            const Dvec axis = whole.middle;
            bool sky = true, floor = true;
            double farthest = 0.;
            if (blocksPerTile == 1) {
                sky = whole.fixed == kSky;
                floor = whole.fixed == kFloor;
                farthest = whole.reach;
            }
            const int rowEnd = std::min<int>(rowSpans.size(), (row + 1) * blocksPerTile);
            const int columnEnd = std::min<int>(columnSpans.size(), (column + 1) * blocksPerTile);
            for (int by = row * blocksPerTile; blocksPerTile > 1 && by < rowEnd; ++by) {
                for (int bx = column * blocksPerTile; bx < columnEnd; ++bx) {
                    const BlockRays rays(camera, columnSpans[bx].first, columnSpans[bx].second,
                                         rowSpans[by].first, rowSpans[by].second);
                    sky = sky && rays.fixed == kSky;
                    floor = floor && rays.fixed == kFloor;
                    farthest = std::max(farthest, rays.farthestFrom(axis));
                }
            }
            tile.fixed = sky ? kSky : floor ? kFloor : kGeneral;
            if (tile.fixed == kFloor)
                boundFloor(camera, left, right, bottom, top, tile);
            tile.axis[0] = static_cast<float>(axis.x);
            tile.axis[1] = static_cast<float>(axis.y);
            tile.axis[2] = static_cast<float>(axis.z);
            // Two unit vectors a chord c apart are at an angle whose cosine is 1 - c^2 / 2.
            tile.cosHalf =
                std::clamp(static_cast<float>(1. - farthest * farthest * .5) - 1e-6f, -1.f, 1.f);
            tile.sinHalf = std::sqrt(1.f - tile.cosHalf * tile.cosHalf);
        }
    }
}

float SceneTiles::sphereMargin(float time) {
    return kSphereMargin + kSphereMarginPerSecond * std::fabs(time);
}

bool SceneTiles::shadowFree(const Tile& tile, const float sun[3], const float (*spheres)[4],
                            float margin) {
    const Dvec toSun{sun[0], sun[1], sun[2]};
    const Dvec floorPoint{tile.floorCentre[0], 0., tile.floorCentre[1]};
    for (int k = 0; k < SPHERE_COUNT; ++k) {
        const Dvec toCentre = Dvec{spheres[k][0], spheres[k][1], spheres[k][2]} + floorPoint * -1.;
        const double distance = length(toCentre);
        // Any floor point of the tile lies within `reach` of floorPoint, the sphere's centre as
        // the GL has it within `margin` of the classifier's, which moves the ray's line alike.
        const double reach = tile.floorReach + margin + kFloorMargin + kSunMargin * distance;
        const double slack = kClearanceSlack * distance * distance;
        // sphereClearance() along the sun's ray from a floor point: its distance to the sphere
        // is at most `along` from here, and the ray passes the surface at least `clearance` away.
        const double along = dot(toCentre, toSun) + reach;
        if (along + slack <= 0.)
            continue;  // behind every point: sphereSoftShadow() 1
        const double clearance =
            std::sqrt(std::max(distance * distance - (along - reach) * (along - reach), 0.)) -
            reach - spheres[k][3];
        if (8. * clearance < along + slack)
            return false;  // 8 x clearance / along may fall below 1
    }
    return true;
}

void SceneTiles::classify(float time, unsigned built) {
    // Each sphere as the cone from the eye that holds it, a little enlarged.
    struct Cone {
        vec3 axis{0.f, 0.f, 1.f};
        float cosHalf = 1.f, sinHalf = 0.f;
        bool wholeView = false;  // the eye is inside
    } spheres[SPHERE_COUNT];
    float centres[SPHERE_COUNT][4];
    const float margin = sphereMargin(time);
    for (int k = 0; k < SPHERE_COUNT; ++k) {
        const sceneformulas::vec4 sphere = sceneformulas::animatedSphere(k, time);
        centres[k][0] = sphere.xyz.x;
        centres[k][1] = sphere.xyz.y;
        centres[k][2] = sphere.xyz.z;
        centres[k][3] = sphere.w;
        const vec3 toCentre = sphere.xyz + EYE * -1.f;
        const float distance = std::sqrt(dot(toCentre, toCentre));
        const float reach = sphere.w + margin;
        Cone& cone = spheres[k];
        cone.wholeView = distance <= reach;
        cone.axis = cone.wholeView ? vec3(0.f, 0.f, 1.f) : toCentre * (1.f / distance);
        cone.sinHalf = cone.wholeView ? 1.f : reach / distance;
        cone.cosHalf = std::sqrt(1.f - cone.sinHalf * cone.sinHalf);
    }
    // Before its start the logo's dissolve leaves every pixel unchanged.
    const bool logoShows = time >= sceneformulas::LOGO_START;
    // Until then sunlight has no strength, whatever the shadows.
    const bool sunlight = time > sceneformulas::SUNLIGHT_START;
    const sceneformulas::vec4 sunNow = sceneformulas::sunAt(sceneformulas::hourOfDay(time));
    const float sun[3] = {sunNow.xyz.x, sunNow.xyz.y, sunNow.xyz.z};
    for (auto& list : classBoxes)
        list.clear();
    // Per column, the box of the run that starts there in the row below, or -1.
    std::vector<int> below(tileColumns, -1), here(tileColumns, -1);
    for (int row = 0; row < tileRows; ++row) {
        for (int column = 0; column < tileColumns; ++column) {
            const Tile& tile = tiles[row * tileColumns + column];
            Class c = tile.fixed;
            const vec3 axis(tile.axis[0], tile.axis[1], tile.axis[2]);
            for (int k = 0; k < SPHERE_COUNT && c != kGeneral; ++k) {
                const Cone& s = spheres[k];
                // The cones overlap where the angle between their axes is below the sum of
                // their half angles: cos(a + b) = cos a cos b - sin a sin b.
                const float cosSum = tile.cosHalf * s.cosHalf - tile.sinHalf * s.sinHalf;
                if (s.wholeView || dot(axis, s.axis) >= cosSum - 1e-4f)
                    c = kGeneral;
            }
            if (c == kFloor && (!sunlight || shadowFree(tile, sun, centres, margin)))
                c = kFloorNoShadow;
            if (logoShows && tile.logo && !tile.clearLogo)
                c = c == kSky ? kSkyLogo : kGeneralLogo;
            if ((built & (1u << c)) == 0)
                c = kGeneralLogo;
            frameClasses[row * tileColumns + column] = c;
        }
        const uint8_t* line = &frameClasses[row * tileColumns];
        std::fill(here.begin(), here.end(), -1);
        for (int first = 0, last = 0; first < tileColumns; first = last) {
            const uint8_t c = line[first];
            while (last < tileColumns && line[last] == c)
                ++last;
            const int x = first * kTileSize, right = std::min(width, last * kTileSize);
            const int y = row * kTileSize, top = std::min(height, y + kTileSize);
            std::vector<Box>& list = classBoxes[c];
            const int open = below[first];
            if (open >= 0 && row > 0 && frameClasses[(row - 1) * tileColumns + first] == c &&
                list[open].width == right - x) {
                list[open].height = top - list[open].y;
                here[first] = open;
            } else {
                list.push_back({x, y, right - x, top - y});
                here[first] = static_cast<int>(list.size()) - 1;
            }
        }
        std::swap(below, here);
    }
}

SceneTiles::Box SceneTiles::interior(Class c, const Box& box, int margin) const {
    // The box's tiles: columns first..last - 1, rows bottom..top - 1.
    const int first = box.x / kTileSize, last = (box.x + box.width + kTileSize - 1) / kTileSize;
    const int bottom = box.y / kTileSize, top = (box.y + box.height + kTileSize - 1) / kTileSize;
    // Whether every tile of columns c0..c1 - 1 and rows r0..r1 - 1 that lies on the target has
    // class c.
    auto all = [&](int c0, int c1, int r0, int r1) {
        for (int row = std::max(r0, 0); row < std::min(r1, tileRows); ++row)
            for (int column = std::max(c0, 0); column < std::min(c1, tileColumns); ++column)
                if (frameClasses[row * tileColumns + column] != c)
                    return false;
        return true;
    };
    int x0 = box.x, y0 = box.y, x1 = box.x + box.width, y1 = box.y + box.height;
    if (first > 0 && !all(first - 1, first, bottom - 1, top + 1))
        x0 += margin;
    if (last < tileColumns && !all(last, last + 1, bottom - 1, top + 1))
        x1 -= margin;
    if (bottom > 0 && !all(first - 1, last + 1, bottom - 1, bottom))
        y0 += margin;
    if (top < tileRows && !all(first - 1, last + 1, top, top + 1))
        y1 -= margin;
    return {x0, y0, std::max(x1 - x0, 0), std::max(y1 - y0, 0)};
}

}  // namespace tw

#include "passes/SceneTiles.h"

#include <algorithm>
#include <cmath>

namespace tw {

namespace {

// The shaders' own constants (scene_geometry, scene_frame, scene_shading).
constexpr float kPi = 3.14159f;
constexpr float kEye[3] = {2.91f, 1.57f, 5.17f};
constexpr int kSphereCount = 9;
constexpr float kLogoStart = 14.2f;  // before it the logo's dissolve leaves every pixel unchanged

// Margins for the GL's rounding, which differs from the CPU's: rays this close to the horizon,
// this close to the letters' band or the logo's area, and spheres this much larger all count.
constexpr float kHorizonMargin = 1e-3f;
constexpr float kBandMargin = .05f;
constexpr float kLogoMargin = 1e-3f;
constexpr float kSphereMargin = .05f;

struct Vec3 {
    float x, y, z;
};

Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator*(Vec3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
float dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec3 normalize(Vec3 a) {
    return a * (1.f / std::sqrt(dot(a, a)));
}
Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec3 mix(Vec3 a, Vec3 b, float t) {
    return a * (1.f - t) + b * t;
}
float smoothstep01(float x) {
    const float t = std::clamp(x, 0.f, 1.f);
    return t * t * (3.f - 2.f * t);
}
float glslMod(float x, float y) {
    return x - y * std::floor(x / y);
}

// cameraRay() of scene_geometry, its lookAtBasis() made once.
struct Camera {
    Vec3 right, up, forward;

    Camera() {
        forward = normalize({kEye[0], kEye[1], kEye[2]});
        right = normalize(cross(forward, {0.f, 1.f, 0.f}));
        up = cross(right, forward);
    }

    // The ray through quad position (sx, sy) on a target of the given aspect.
    Vec3 ray(float sx, float sy, float aspect) const {
        const Vec3 d = normalize({-aspect * sx, sy, -1.5f});
        return normalize(right * d.x + up * d.y + forward * d.z + Vec3{0.f, .2f, 0.f});
    }
};

// What a camera ray can meet, the spheres left out: only sky upward, only floor downward unless
// it may cross the band of letters (y .5 to 1.5 on the plane x = -5) first.
SceneTiles::Class rayClass(Vec3 d) {
    const float t = (-5.f - kEye[0]) / d.x;
    if (t > 0.f && std::fabs(kEye[1] + d.y * t - 1.f) < .5f + kBandMargin)
        return SceneTiles::kGeneral;
    if (d.y > kHorizonMargin)
        return SceneTiles::kSky;
    if (d.y < -kHorizonMargin)
        return SceneTiles::kFloor;
    return SceneTiles::kGeneral;
}

// animatedSphere() of scene_frame: centre and radius of sphere k at `time`.
void animatedSphere(int k, float time, Vec3& centre, float& radius) {
    const float fk = static_cast<float>(k);
    const float g = fk / kSphereCount;
    radius = std::clamp((time - 5.f) * .1f, 0.f, .35f);
    const Vec3 ring = {std::cos(g * kPi * 2.f + time * 2.f) * 2.5f,
                       .85f + .5f * std::cos(time * 3.f + g * kPi * 2.f),
                       std::sin(g * kPi * 2.f + time * 2.f) * 2.5f};
    const Vec3 xRow = {(g * 2.f - 1.f) * 3.5f, 1.05f + .7f * std::cos(time * 5.f + g * kPi * 2.f),
                       0.f};
    const float column = glslMod(fk, 3.f);
    const float row = std::floor(fk / 3.f);
    const Vec3 grid = {column * 2.f - 1.5f,
                       .3f + std::fabs(std::cos(row * 2.f + column + time * 4.f)),
                       row * 2.f - 1.5f};
    const Vec3 zRow = {0.f, std::pow(std::fabs(std::sin(-time * 3.f + g * kPi)), 6.f) * 1.5f + .35f,
                       (g * 2.f - 1.f) * 4.f};
    const float phase = glslMod(time * .5f - 3.f, 18.f);
    centre = ring;
    centre = mix(centre, xRow, smoothstep01(phase - 4.f));
    centre = mix(centre, grid, smoothstep01(phase - 8.f));
    centre = mix(centre, zRow, smoothstep01(phase - 12.f));
    centre = mix(centre, ring, smoothstep01(phase - 16.f));
}

}  // namespace

void SceneTiles::layOut(int width, int height) {
    this->width = width;
    this->height = height;
    tileColumns = (width + kTileSize - 1) / kTileSize;
    tileRows = (height + kTileSize - 1) / kTileSize;
    tiles.assign(static_cast<size_t>(tileColumns) * tileRows, Tile{});
    frameClasses.assign(tiles.size(), kGeneral);
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    const Camera camera;
    std::vector<Vec3> rays;
    for (int row = 0; row < tileRows; ++row) {
        for (int column = 0; column < tileColumns; ++column) {
            Tile& tile = tiles[row * tileColumns + column];
            rays.clear();
            bool sky = true, floor = true;
            tile.logo = false;
            // Every pixel centre of the tile inside the target: what the shader's v is there.
            for (int y = row * kTileSize; y < std::min(height, (row + 1) * kTileSize); ++y) {
                for (int x = column * kTileSize; x < std::min(width, (column + 1) * kTileSize);
                     ++x) {
                    const float sx = (x + .5f) / width * 2.f - 1.f;
                    const float sy = (y + .5f) / height * 2.f - 1.f;
                    rays.push_back(camera.ray(sx, sy, aspect));
                    const Class c = rayClass(rays.back());
                    sky = sky && c == kSky;
                    floor = floor && c == kFloor;
                    // overlayLogo()'s area: |v.x| < .8, uv.y > .64.
                    tile.logo =
                        tile.logo || (std::fabs(sx) < .8f + kLogoMargin && sy > .28f - kLogoMargin);
                }
            }
            tile.fixed = sky ? kSky : floor ? kFloor : kGeneral;
            Vec3 sum = {0.f, 0.f, 0.f};
            for (const Vec3& ray : rays)
                sum = sum + ray;
            const Vec3 axis = normalize(sum);
            float cosHalf = 1.f;
            for (const Vec3& ray : rays)
                cosHalf = std::min(cosHalf, dot(axis, ray));
            tile.axis[0] = axis.x;
            tile.axis[1] = axis.y;
            tile.axis[2] = axis.z;
            tile.cosHalf = std::clamp(cosHalf, -1.f, 1.f);
            tile.sinHalf = std::sqrt(1.f - tile.cosHalf * tile.cosHalf);
        }
    }
}

void SceneTiles::classify(float time, unsigned ready) {
    // Each sphere as the cone from the eye that holds it, a little enlarged.
    struct Cone {
        Vec3 axis;
        float cosHalf, sinHalf;
        bool wholeView;  // the eye is inside
    } spheres[kSphereCount];
    for (int k = 0; k < kSphereCount; ++k) {
        Vec3 centre;
        float radius = 0.f;
        animatedSphere(k, time, centre, radius);
        const Vec3 toCentre = centre + Vec3{-kEye[0], -kEye[1], -kEye[2]};
        const float distance = std::sqrt(dot(toCentre, toCentre));
        const float reach = radius + kSphereMargin;
        Cone& cone = spheres[k];
        cone.wholeView = distance <= reach;
        cone.axis = cone.wholeView ? Vec3{0.f, 0.f, 1.f} : toCentre * (1.f / distance);
        cone.sinHalf = cone.wholeView ? 1.f : reach / distance;
        cone.cosHalf = std::sqrt(1.f - cone.sinHalf * cone.sinHalf);
    }
    const bool logoShows = time >= kLogoStart;
    int lowest[kClassCount][2], highest[kClassCount][2];
    for (int c = 0; c < kClassCount; ++c) {
        lowest[c][0] = lowest[c][1] = 1 << 30;
        highest[c][0] = highest[c][1] = -1;
    }
    for (int row = 0; row < tileRows; ++row) {
        for (int column = 0; column < tileColumns; ++column) {
            const Tile& tile = tiles[row * tileColumns + column];
            Class c = tile.fixed;
            const Vec3 axis = {tile.axis[0], tile.axis[1], tile.axis[2]};
            for (int k = 0; k < kSphereCount && c != kGeneral; ++k) {
                const Cone& s = spheres[k];
                // The cones overlap where the angle between their axes is below the sum of
                // their half angles: cos(a + b) = cos a cos b - sin a sin b.
                const float cosSum = tile.cosHalf * s.cosHalf - tile.sinHalf * s.sinHalf;
                if (s.wholeView || dot(axis, s.axis) >= cosSum - 1e-4f)
                    c = kGeneral;
            }
            if (logoShows && tile.logo)
                c = c == kSky ? kSkyLogo : kGeneralLogo;
            if ((ready & (1u << c)) == 0)
                c = kGeneralLogo;
            frameClasses[row * tileColumns + column] = c;
            lowest[c][0] = std::min(lowest[c][0], column);
            lowest[c][1] = std::min(lowest[c][1], row);
            highest[c][0] = std::max(highest[c][0], column);
            highest[c][1] = std::max(highest[c][1], row);
        }
    }
    for (int c = 0; c < kClassCount; ++c) {
        Box& box = boxes[c];
        box = Box{};
        if (highest[c][0] < 0)
            continue;
        box.x = lowest[c][0] * kTileSize;
        box.y = lowest[c][1] * kTileSize;
        box.width = std::min(width, (highest[c][0] + 1) * kTileSize) - box.x;
        box.height = std::min(height, (highest[c][1] + 1) * kTileSize) - box.y;
    }
}

}  // namespace tw

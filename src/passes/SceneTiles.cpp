#include "passes/SceneTiles.h"

#include <algorithm>
#include <cmath>

#include "passes/SceneFormulas.h"

namespace tw {

namespace {

// The shaders' own constants and sphere paths.
using sceneformulas::EYE;
using sceneformulas::SPHERE_COUNT;

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

// cameraRay() of scene_geometry, its lookAtBasis() made once.
struct Camera {
    Vec3 right, up, forward;

    Camera() {
        forward = normalize({EYE.x, EYE.y, EYE.z});
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
// it may cross the band of letters on the wall first.
SceneTiles::Class rayClass(Vec3 d) {
    const float t = (sceneformulas::WALL_X - EYE.x) / d.x;
    if (t > 0.f && std::fabs(EYE.y + d.y * t - sceneformulas::LETTER_BAND_CENTRE) <
                       sceneformulas::LETTER_BAND_HALF + kBandMargin)
        return SceneTiles::kGeneral;
    if (d.y > kHorizonMargin)
        return SceneTiles::kSky;
    if (d.y < -kHorizonMargin)
        return SceneTiles::kFloor;
    return SceneTiles::kGeneral;
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
                    // overlayLogo()'s area.
                    tile.logo = tile.logo ||
                                (std::fabs(sx) < sceneformulas::LOGO_HALF_WIDTH + kLogoMargin &&
                                 sy * .5f + .5f > sceneformulas::LOGO_BOTTOM - kLogoMargin);
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
    } spheres[SPHERE_COUNT];
    for (int k = 0; k < SPHERE_COUNT; ++k) {
        const sceneformulas::vec4 sphere = sceneformulas::animatedSphere(k, time);
        const Vec3 centre = {sphere.xyz.x, sphere.xyz.y, sphere.xyz.z};
        const float radius = sphere.w;
        const Vec3 toCentre = centre + Vec3{-EYE.x, -EYE.y, -EYE.z};
        const float distance = std::sqrt(dot(toCentre, toCentre));
        const float reach = radius + kSphereMargin;
        Cone& cone = spheres[k];
        cone.wholeView = distance <= reach;
        cone.axis = cone.wholeView ? Vec3{0.f, 0.f, 1.f} : toCentre * (1.f / distance);
        cone.sinHalf = cone.wholeView ? 1.f : reach / distance;
        cone.cosHalf = std::sqrt(1.f - cone.sinHalf * cone.sinHalf);
    }
    // Before its start the logo's dissolve leaves every pixel unchanged.
    const bool logoShows = time >= sceneformulas::LOGO_START;
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
            for (int k = 0; k < SPHERE_COUNT && c != kGeneral; ++k) {
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

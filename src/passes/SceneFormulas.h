// The scene's constants, the camera's rays, the logo's area, the spheres' paths and the sun's
// course as the shaders have them: the GLSL parts scene_constants.glsl, scene_camera.glsl,
// scene_spheres.glsl and scene_sun.glsl compiled as C++ over the little of GLSL's maths they use.
// Their literals are made float (cmake/GlslAsCpp.cmake), so they compute in single precision, each
// operation rounded as in GLSL. For the tile classifier (SceneTiles.cpp), which must know where the
// shaders put the camera, the spheres, the letters, the logo and the sun. Pure CPU, no GL.
//
// Use: tw::sceneformulas::EYE.x, cameraRay(vec2(x, y), aspect), animatedSphere(k, seconds).xyz, ...
#pragma once

#include <algorithm>
#include <cmath>

namespace tw::sceneformulas {

struct vec2 {
    float x, y;
    constexpr vec2(float x, float y) : x(x), y(y) {}
};

struct vec3 {
    float x, y, z;
    constexpr vec3(float x, float y, float z) : x(x), y(y), z(z) {}
};

// Three columns, as GLSL's mat3(vec3, vec3, vec3).
struct mat3 {
    vec3 c0, c1, c2;
    constexpr mat3(vec3 c0, vec3 c1, vec3 c2) : c0(c0), c1(c1), c2(c2) {}
};

// GLSL's .xyz and .w, as members.
struct vec4 {
    vec3 xyz;
    float w;
    constexpr vec4(vec3 xyz, float w) : xyz(xyz), w(w) {}
};

// Each takes and returns float, as GLSL's do, and hides the C library's function of that name for
// the parts.
inline float cos(float a) {
    return std::cos(a);
}
inline float sin(float a) {
    return std::sin(a);
}
inline float asin(float a) {
    return std::asin(a);
}
// GLSL's two-argument atan.
inline float atan(float y, float x) {
    return std::atan2(y, x);
}
inline float abs(float a) {
    return std::fabs(a);
}
inline float floor(float a) {
    return std::floor(a);
}
inline float pow(float a, float b) {
    return std::pow(a, b);
}
inline float clamp(float a, float low, float high) {
    return std::min(std::max(a, low), high);
}
inline float mod(float a, float b) {
    return a - b * std::floor(a / b);
}
inline float smoothstep(float edge0, float edge1, float a) {
    const float t = clamp((a - edge0) / (edge1 - edge0), 0.f, 1.f);
    return t * t * (3.f - 2.f * t);
}
inline vec3 mix(vec3 a, vec3 b, float t) {
    return {a.x * (1.f - t) + b.x * t, a.y * (1.f - t) + b.y * t, a.z * (1.f - t) + b.z * t};
}
inline vec3 operator+(vec3 a, vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline vec3 operator*(vec3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline vec3 operator*(mat3 m, vec3 a) {
    return m.c0 * a.x + m.c1 * a.y + m.c2 * a.z;
}
inline float dot(vec3 a, vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline vec3 normalize(vec3 a) {
    return a * (1.f / std::sqrt(dot(a, a)));
}
inline vec3 cross(vec3 a, vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

#include "glsl/scene_constants.inc"

// Not inline in the parts' text, so defined once per translation unit that includes this header,
// which need not use them all.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
namespace {
#include "glsl/scene_camera.inc"
#include "glsl/scene_spheres.inc"
#include "glsl/scene_sun.inc"
}  // namespace
#pragma GCC diagnostic pop

}  // namespace tw::sceneformulas

// The scene's constants and the spheres' paths as the shaders have them: the GLSL parts
// scene_constants.glsl and scene_spheres.glsl compiled as C++ over the little of GLSL's maths they
// use, in single precision like the GL. For the tile classifier (SceneTiles.cpp), which must know
// where the shaders put the camera, the spheres, the letters and the logo. Pure CPU, no GL.
//
// Use: tw::sceneformulas::EYE.x, animatedSphere(k, seconds).xyz, ...
#pragma once

#include <algorithm>
#include <cmath>

namespace tw::sceneformulas {

struct vec3 {
    float x, y, z;
    constexpr vec3(float x, float y, float z) : x(x), y(y), z(z) {}
};

// GLSL's .xyz and .w, as members.
struct vec4 {
    vec3 xyz;
    float w;
    constexpr vec4(vec3 xyz, float w) : xyz(xyz), w(w) {}
};

// Each takes and returns float, as GLSL's do, so that the parts' double literals compute in single
// precision, and each hides the C library's function of that name for the parts.
inline float cos(float a) {
    return std::cos(a);
}
inline float sin(float a) {
    return std::sin(a);
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

#include "glsl/scene_constants.inc"

// Not inline in the part's text, so defined once per translation unit that includes this header.
namespace {
#include "glsl/scene_spheres.inc"
}  // namespace

}  // namespace tw::sceneformulas

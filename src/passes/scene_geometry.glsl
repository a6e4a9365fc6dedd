#version 120
// Scene geometry: the nine spheres, the floor, the wall of scrolling letters, the nearest hit
// along a ray, and the spheres' soft shadows and occlusion. Fragment stage.
//
// Inputs:
//   time, frameSpheres[], frameSun   (scene_inputs)
//   uniform sampler2D font           unit 3: 144 x 60 grey RGBA glyph atlas, 16 x 6 cells, nearest
//   uniform sampler1D scroll         unit 4: one texel per message character, (left u, top t, 0)
//                                    of its atlas cell, nearest, repeat
// Globals: spheres[] and sunDirection are copied from the frame's values by readFrame(), first in
// every fragment.
//
// Hit identifiers: -3 nothing (sky), -2 letter, -1 floor, 0 to 8 the sphere with that index.
//
// The sphere loops have a fixed count, so the compiler unrolls them and keeps the spheres in
// registers. Skipping spheres of radius 0 (before 5 s) would not pay: llvmpipe runs a loop body
// at least once for a group of 8 pixels, and a loop it cannot unroll reads the spheres through
// per-pixel indexing, which costs more than the spheres' own arithmetic.

uniform sampler2D font;
uniform sampler1D scroll;

vec4 spheres[SPHERE_COUNT];  // centre in xyz, radius in w
vec3 sunDirection;

// The frame's values, into globals that probes may overwrite.
void readFrame() {
    for (int k = 0; k < SPHERE_COUNT; k++)
        spheres[k] = frameSpheres[k];
    sunDirection = frameSun;
}

// Distance to the nearer root, or -1 when the line misses; not above 0 when the sphere is behind
// the origin or contains it. D must be unit length.
float sphereDistance(vec3 O, vec3 D, vec4 S) {
    vec3 oc = O - S.xyz;
    float b = dot(oc, D);
    float c = dot(oc, oc) - S.w * S.w;
    float disc = b * b - c;
    if (disc < 0.)
        return -1.;
    return -b - sqrt(disc);
}

vec3 sphereNormal(vec3 P, vec4 S) {
    return normalize(P - S.xyz);
}

// Signed; callers keep only positive values.
float floorDistance(vec3 O, vec3 D) {
    return -O.y / D.y;
}

// The font texel (gamma-encoded) at point P of the wall plane. One cell is 1.25 units along z and
// 1 unit tall; the letters run toward +z at 4.375 units a second.
vec4 scrollGlyph(vec3 P) {
    float a = P.y * -.5 + .25;
    float b = P.z * .4 - time * 1.75;
    float cell = floor(b * 2.);
    // Lower-left corner of the character's atlas cell: the texel holds its left u and top t.
    vec2 cellOrigin = texture1D(scroll, -cell / 640.).rg - vec2(0., 1. / 6.);
    vec2 offset = vec2(1. - mod(b * 2., 1.), 1. - mod(a * 2., 1.));
    return texture2D(font, cellOrigin + offset / vec2(16., 6.));
}

// A letter is solid where its linearised texel reaches .5, that is where the encoded texel reaches
// .5 ^ (1 / 2.2) = .72974: a threshold without the power's exp and log (the font's texels are all
// 0 or 1).
const float SOLID_TEXEL = .72974;

// Distance to a solid letter; -1 when the ray passes between strokes or outside the band
// of heights; not above 0 when the plane is behind the origin.
float scrollWallDistance(vec3 O, vec3 D) {
    float t = (WALL_X - O.x) / D.x;
    vec3 P = O + D * t;
    vec4 G = scrollGlyph(P);
    if (t > 0. && (G.r < SOLID_TEXEL || abs(P.y - LETTER_BAND_CENTRE) > LETTER_BAND_HALF))
        return -1.;
    return t;
}

// Nearest hit. A miss leaves the position 1e+10 along the ray; its normal is set to -D, a unit
// vector facing the ray like every other normal, so that no caller can ever read an undefined
// value (none does: only sphere and letter hits are reflected or shaded with their normal).
void traceScene(vec3 O, vec3 D, out vec3 P, out vec3 N, out int id) {
    float tFloor = floorDistance(O, D);
    float tWall = scrollWallDistance(O, D);
    float tSphere = 1e+10;
    vec4 hitSphere = vec4(0.);
    id = -3;
    // Strictly nearer only: on equal distances the lower index keeps the hit.
    for (int k = 0; k < SPHERE_COUNT; k++) {
        float t = sphereDistance(O, D, spheres[k]);
        if (t > 0. && t < tSphere) {
            tSphere = t;
            hitSphere = spheres[k];
            id = k;
        }
    }
    if (tFloor > 0. && tFloor < tSphere) {
        if (tWall > 0. && tWall < tFloor) {
            P = O + D * tWall;
            N = vec3(1., 0., 0.);
            id = -2;
        } else {
            P = O + D * tFloor;
            N = vec3(0., 1., 0.);
            id = -1;
        }
    } else {
        P = O + D * tSphere;
        N = -D;
        if (id >= 0)
            N = sphereNormal(P, hitSphere);
    }
    // A solid letter in front of every sphere always wins.
    if (tWall > 0. && tWall < tSphere) {
        P = O + D * tWall;
        N = vec3(1., 0., 0.);
        id = -2;
    }
}

// (distance from the centre to the ray's line minus the radius, distance along the ray to the
// nearer intersection or, when the line misses, to the point of closest approach).
vec2 sphereClearance(vec3 O, vec3 D, vec4 S) {
    vec3 oc = O - S.xyz;
    float b = dot(oc, D);
    float c = dot(oc, oc) - S.w * S.w;
    float h = b * b - c;
    float clearance = sqrt(max(0., S.w * S.w - h)) - S.w;
    float along = -b - sqrt(max(h, 0.));
    return vec2(clearance, along);
}

float sphereSoftShadow(vec3 O, vec3 D, vec4 S) {
    vec2 clearanceAlong = sphereClearance(O, D, S);
    if (clearanceAlong.y > 0.)
        return max(clearanceAlong.x, 0.) / clearanceAlong.y;
    return 1.;
}

// Light visibility along L, 0 (fully shadowed) to 1; only the spheres cast shadows.
float sceneSoftShadow(vec3 P, vec3 L) {
    float visibility = 1.;
    for (int k = 0; k < SPHERE_COUNT; k++)
        visibility = min(visibility, 8. * sphereSoftShadow(P, L, spheres[k]));
    return visibility;
}

float sphereOcclusion(vec3 P, vec3 N, vec4 S) {
    vec3 toCentre = S.xyz - P;
    float len = length(toCentre);
    float h = dot(N, toCentre);
    float o = h;
    if (h < S.w) {
        float x = clamp((h + S.w) / (2. * S.w), 0., 1.);
        o = x * sqrt(x) * S.w;  // x ^ 1.5 without a power's exp and log
    }
    return clamp(o * (S.w * S.w) / (len * len * len), 0., 1.);
}

// Ambient visibility at P facing N, 0 to 1; only the spheres occlude.
float sceneOcclusion(vec3 P, vec3 N) {
    float visibility = 1.;
    for (int k = 0; k < SPHERE_COUNT; k++)
        visibility *= 1. - sphereOcclusion(P, N, spheres[k]);
    return visibility;
}

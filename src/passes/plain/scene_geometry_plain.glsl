#version 120
// Scene geometry: the fixed camera, the nine animated spheres, the floor, the wall of scrolling
// letters, the nearest hit along a ray, and the spheres' soft shadows and occlusion.
// First part of the plain scene fragment program (then scene_sky_plain, scene_shading_plain,
// scene_plain.frag).
//
// Inputs:
//   uniform float time        seconds since the frame loop started
//   uniform sampler2D font    unit 3: 144 x 60 luminance glyph atlas, 16 x 6 cells, nearest
//   uniform sampler1D scroll  unit 4: one texel per message character, (left u, top t, 0) of its
//                             atlas cell, nearest, repeat
// Globals: hourOfDay and spheres[] are written by setUpFrame() first in every fragment;
// sunDirection is written by every skyColor() call (scene_sky_plain).
//
// World frame: y up, floor at y = 0, letter wall in the plane x = -5 facing +x. Hit identifiers:
// -3 nothing (sky), -2 letter, -1 floor, 0 to 8 the sphere with that index.

uniform float time;
uniform sampler2D font;
uniform sampler1D scroll;

const float PI = 3.14159;
const int SPHERE_COUNT = 9;

float hourOfDay;
vec4 spheres[SPHERE_COUNT];  // centre in xyz, radius in w
vec3 sunDirection;

// Columns: right (toward the viewer's left here), up, forward (from the target to the eye).
mat3 lookAtBasis(vec3 forward, vec3 up) {
    vec3 f = normalize(forward);
    vec3 r = normalize(cross(f, normalize(up)));
    return mat3(r, cross(r, f), f);
}

// Sphere k at the current time: four formations blended in turn, a 36 s cycle of 2 s changes.
vec4 animatedSphere(int k) {
    float fk = float(k);
    float g = fk / float(SPHERE_COUNT);
    float radius = clamp((time - 5.) * .1, 0., .35);
    vec3 ring = vec3(cos(g * PI * 2. + time * 2.) * 2.5, .85 + .5 * cos(time * 3. + g * PI * 2.),
                     sin(g * PI * 2. + time * 2.) * 2.5);
    vec3 xRow = vec3((g * 2. - 1.) * 3.5, 1.05 + .7 * cos(time * 5. + g * PI * 2.), 0.);
    vec3 grid = vec3(mod(fk, 3.) * 2. - 1. - .5,
                     .3 + abs(cos(floor(fk / 3.) * 2. + mod(fk, 3.) + time * 4.)),
                     floor(fk / 3.) * 2. - 1.5);
    // g * PI, not g * PI * 2.: the hops run once along the row.
    vec3 zRow = vec3(0., pow(abs(sin(-time * 3. + g * PI)), 6.) * 1.5 + .35, (g * 2. - 1.) * 4.);
    float phase = mod(time * .5 - 3., 18.);
    vec3 centre = ring;
    centre = mix(centre, xRow, smoothstep(0., 1., phase - 4.));
    centre = mix(centre, grid, smoothstep(0., 1., phase - 8.));
    centre = mix(centre, zRow, smoothstep(0., 1., phase - 12.));
    centre = mix(centre, ring, smoothstep(0., 1., phase - 16.));
    return vec4(centre, radius);
}

// Everything a fragment needs from time alone; the host passes nothing precomputed.
void setUpFrame() {
    hourOfDay = 10. - abs(cos(time * .025)) * 5.;
    for (int k = 0; k < SPHERE_COUNT; k++)
        spheres[k] = animatedSphere(k);
}

// The camera ray through quad position `screen` (-1 to 1) on a target of the given aspect.
void cameraRay(vec2 screen, float aspect, out vec3 O, out vec3 D) {
    O = vec3(2.91, 1.57, 5.17);
    // x negated because the basis's first column points to the viewer's left.
    D = normalize(vec3(-aspect * screen.x, screen.y, -1.5));
    D = lookAtBasis(normalize(O), vec3(0., 1., 0.)) * D;
    D = normalize(D + vec3(0., .2, 0.));
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

// The linearised font texel at point P of the wall plane. One cell is 1.25 units along z and
// 1 unit tall; the letters run toward +z at 4.375 units a second.
vec4 scrollGlyph(vec3 P) {
    float a = P.y * -.5 + .25;
    float b = P.z * .4 - time * 1.75;
    float cell = floor(b * 2.);
    // Lower-left corner of the character's atlas cell: the texel holds its left u and top t.
    vec2 cellOrigin = texture1D(scroll, -cell / 640.).rg - vec2(0., 1. / 6.);
    vec2 offset = vec2(1. - mod(b * 2., 1.), 1. - mod(a * 2., 1.));
    return pow(texture2D(font, cellOrigin + offset / vec2(16., 6.)), vec4(2.2));
}

// Distance to a solid letter; -1 when the ray passes between strokes or outside the band
// y 0.5 to 1.5; not above 0 when the plane is behind the origin.
float scrollWallDistance(vec3 O, vec3 D) {
    float t = (-5. - O.x) / D.x;
    vec3 P = O + D * t;
    vec4 G = scrollGlyph(P);
    if (t > 0. && (G.r < .5 || abs(P.y - 1.) > .5))
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
    id = -3;
    // Strictly nearer only: on equal distances the lower index keeps the hit.
    for (int k = 0; k < SPHERE_COUNT; k++) {
        float t = sphereDistance(O, D, spheres[k]);
        if (t > 0. && t < tSphere) {
            tSphere = t;
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
            N = sphereNormal(P, spheres[id]);
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
    if (h < S.w)
        o = pow(clamp((h + S.w) / (2. * S.w), 0., 1.), 1.5) * S.w;
    return clamp(o * (S.w * S.w) / (len * len * len), 0., 1.);
}

// Ambient visibility at P facing N, 0 to 1; only the spheres occlude.
float sceneOcclusion(vec3 P, vec3 N) {
    float visibility = 1.;
    for (int k = 0; k < SPHERE_COUNT; k++)
        visibility *= 1. - sphereOcclusion(P, N, spheres[k]);
    return visibility;
}

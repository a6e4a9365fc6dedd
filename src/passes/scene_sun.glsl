#version 120
// The sun's course: the frame's values take the sun from here (scene_frame), and the tile
// classifier compiles this file as C++ (SceneFormulas.h) to know where the spheres' shadows fall,
// so it keeps to what both languages read alike: scalar float maths, vec3 and vec4 constructors,
// vec3 sums, normalize, and no swizzles.

// The clock time in hours that the sky shows `seconds` into the intro: from 5 up to 10 and back,
// every 125.7 s.
float hourOfDay(float seconds) {
    return 10. - abs(cos(seconds * .025)) * 5.;
}

// The sun at the clock time `hour` on day 240 at latitude 43.17 degrees: its direction, unit
// length, in xyz and its zenith angle (radians, clamped to 0..1.62) in w.
vec4 sunAt(float hour) {
    float declination = .4093 * sin(2. * PI * (240. - 81.) / 368.);
    float latitude = 43.17 * PI / 180.;
    float H = PI * hour / 12.;
    float thetaS = PI / 2. - asin(sin(latitude) * sin(declination) -
                                  cos(latitude) * cos(declination) * cos(H));
    thetaS = clamp(thetaS, 0., 1.62);
    float phiS = atan(-cos(declination) * sin(H),
                      cos(latitude) * sin(declination) - sin(latitude) * cos(declination) * cos(H));
    // The added .1 lifts the sun so that it never quite sets.
    vec3 direction = normalize(vec3(0., .1, 0.) + vec3(sin(thetaS) * cos(phiS), cos(thetaS),
                                                       sin(thetaS) * sin(phiS)));
    return vec4(direction, thetaS);
}

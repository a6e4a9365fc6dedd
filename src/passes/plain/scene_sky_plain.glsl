#version 120
// Analytic daylight sky (Perez distribution, turbidity-fitted coefficients) with a moving sun and
// two drifting cloud layers. Second part of the plain scene fragment program, after
// scene_geometry_plain.
//
// Inputs:
//   uniform float time        seconds since the frame loop started (from scene_geometry_plain)
//   uniform sampler2D fbm     unit 1: 256 x 256 luminance noise that tiles, mipmapped, repeat
//   hourOfDay                 global from scene_geometry_plain's setUpFrame(), 5 to 10
// Output: skyColor() returns linear RGB and writes the global sunDirection (unit vector).

uniform sampler2D fbm;

const float TURBIDITY = 2.2;

// Zenith angle of the sun (radians, clamped to 0..1.62) and its direction, from hourOfDay on
// day 240 at latitude 43.17 degrees.
float sunZenith(out vec3 direction) {
    float declination = .4093 * sin(2. * PI * (240. - 81.) / 368.);
    float latitude = 43.17 * PI / 180.;
    float H = PI * hourOfDay / 12.;
    float thetaS = PI / 2. - asin(sin(latitude) * sin(declination) -
                                  cos(latitude) * cos(declination) * cos(H));
    thetaS = clamp(thetaS, 0., 1.62);
    float phiS = atan(-cos(declination) * sin(H),
                      cos(latitude) * sin(declination) - sin(latitude) * cos(declination) * cos(H));
    // The added .1 lifts the sun so that it never quite sets.
    direction = normalize(vec3(0., .1, 0.) +
                          vec3(sin(thetaS) * cos(phiS), cos(thetaS), sin(thetaS) * sin(phiS)));
    return thetaS;
}

// `origin` has no effect. R should be unit length; below the horizon it is evaluated just above.
vec3 skyColor(vec3 origin, vec3 R) {
    R.y = max(R.y, .0001);
    float thetaS = sunZenith(sunDirection);
    float T = TURBIDITY;

    // Distribution coefficients per channel: x and y chromaticity, Y luminance.
    vec3 A = vec3(-.0193 * T - .2592, -.0167 * T - .2608, .1787 * T - 1.463);
    vec3 B = vec3(-.0665 * T + .0008, -.095 * T + .0092, -.3554 * T + .4275);
    vec3 C = vec3(-.0004 * T + .2125, -.0079 * T + .2102, -.227 * T + 5.3251);
    vec3 D = vec3(-.0641 * T - .8989, -.0441 * T - 1.6537, .1206 * T - 2.5771);
    vec3 E = vec3(-.0033 * T + .0452, -.0109 * T + .0529, -.067 * T + .3703);

    float t1 = thetaS;
    float t2 = thetaS * thetaS;
    float t3 = t2 * thetaS;
    float Yz = (4.0453 * T - 4.971) * tan((4. / 9. - T / 120.) * (PI - 2. * thetaS)) -
               .2155 * T + 2.4192;
    float xz = T * T * (.00166 * t3 - .00375 * t2 + .00209 * t1) +
               T * (-.02903 * t3 + .06377 * t2 - .03202 * t1 + .00394) +
               (.11693 * t3 - .21196 * t2 + .06052 * t1 + .25886);
    float yz = T * T * (.00275 * t3 - .0061 * t2 + .00317 * t1) +
               T * (-.04214 * t3 + .0897 * t2 - .04153 * t1 + .00516) +
               (.15346 * t3 - .26756 * t2 + .0667 * t1 + .26688);

    float cosTheta = R.y;
    float cosGamma = dot(sunDirection, R);
    // A ray straight at the sun can round the dot product just past 1, where acos has no value.
    float gamma = acos(clamp(cosGamma, -1., 1.));
    vec3 F = (1. + A * exp(B / cosTheta)) * (1. + C * exp(D * gamma) + E * cosGamma * cosGamma);
    vec3 F0 = (1. + A * exp(B)) * (1. + C * exp(D * thetaS) + E * cos(thetaS) * cos(thetaS));
    vec3 xyY = F / F0 * vec3(xz, yz, Yz);

    // Exposure, then xyY to XYZ to linear sRGB (D65).
    float Y = 1. - exp(-.05 * xyY.z);
    float X = xyY.x / xyY.y * Y;
    float Z = (1. - xyY.x - xyY.y) / xyY.y * Y;
    vec3 colour = vec3(3.24048 * X - 1.53715 * Y - .498535 * Z,
                       -.969256 * X + 1.87599 * Y + .041556 * Z,
                       .055648 * X - .204043 * Y + 1.05731 * Z);

    colour += pow(max(dot(R, sunDirection), 0.), 1000.) * .5;

    // Clouds: the noise projected on a plane above the camera, faded out toward the horizon.
    // Where the noise is low both layers darken the sky slightly.
    float h = clamp(pow(R.y, 4.) * 300., 0., 1.);
    vec2 p = R.xz / R.y * .2;
    colour += vec3(1., .7, .6) *
              (pow(texture2D(fbm, p - vec2(0., time * .03)).rgb, vec3(4.)) * 4. - .1) * .1 * h;
    colour += (pow(texture2D(fbm, p - vec2(0., time * .006)).rgb, vec3(8.)) * 10. - .2) * .05 * h;

    return pow(clamp(colour, 0., 1.), vec3(2.2));
}

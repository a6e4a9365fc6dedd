#version 120
// Analytic daylight sky (Perez distribution, turbidity-fitted coefficients) as pure functions,
// shared by both stages of the scene program: the vertex stage evaluates what is the same for
// every pixel of a frame (normalising terms, two fixed directions), the fragment stage the
// sky of each ray; and the plain program's fragment stage both. No uniforms and no varyings: the
// noise texture and the time come as arguments.

const float TURBIDITY = 2.2;

// Distribution coefficients per channel: x and y chromaticity, Y luminance.
const vec3 SKY_A = vec3(-.0193 * TURBIDITY - .2592, -.0167 * TURBIDITY - .2608,
                        .1787 * TURBIDITY - 1.463);
const vec3 SKY_B = vec3(-.0665 * TURBIDITY + .0008, -.095 * TURBIDITY + .0092,
                        -.3554 * TURBIDITY + .4275);
const vec3 SKY_C = vec3(-.0004 * TURBIDITY + .2125, -.0079 * TURBIDITY + .2102,
                        -.227 * TURBIDITY + 5.3251);
const vec3 SKY_D = vec3(-.0641 * TURBIDITY - .8989, -.0441 * TURBIDITY - 1.6537,
                        .1206 * TURBIDITY - 2.5771);
const vec3 SKY_E = vec3(-.0033 * TURBIDITY + .0452, -.0109 * TURBIDITY + .0529,
                        -.067 * TURBIDITY + .3703);

// The zenith values (x, y, Y) divided by the distribution at the zenith: the part of the sky
// model that depends on the sun alone.
vec3 skyNormaliser(float thetaS) {
    float T = TURBIDITY;
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
    vec3 F0 = (1. + SKY_A * exp(SKY_B)) *
              (1. + SKY_C * exp(SKY_D * thetaS) + SKY_E * cos(thetaS) * cos(thetaS));
    return vec3(xz, yz, Yz) / F0;
}

// Where direction R (y already raised to at least .0001) meets the cloud plane, in noise
// texture coordinates before the layers' drift.
vec2 cloudPlane(vec3 R) {
    return R.xz / R.y * .2;
}

// Sky colour toward R (y already raised to at least .0001) for the sun `sun` with the normalising
// terms of skyNormaliser(), given the two cloud layers' noise values (the noise is grey, so
// one channel holds them); gamma-encoded (power 1 / 2.2), as the model makes it.
vec3 encodedSkyRadiance(vec3 R, vec3 sun, vec3 normaliser, float nearNoise, float farNoise) {
    float cosTheta = R.y;
    float cosGamma = dot(sun, R);
    // A ray straight at the sun can round the dot product just past 1, where acos has no value.
    float gamma = acos(clamp(cosGamma, -1., 1.));
    vec3 F = (1. + SKY_A * exp(SKY_B / cosTheta)) *
             (1. + SKY_C * exp(SKY_D * gamma) + SKY_E * cosGamma * cosGamma);
    vec3 xyY = F * normaliser;

    // Exposure, then xyY to XYZ to linear sRGB (D65).
    float Y = 1. - exp(-.05 * xyY.z);
    float X = xyY.x / xyY.y * Y;
    float Z = (1. - xyY.x - xyY.y) / xyY.y * Y;
    vec3 colour = vec3(3.24048 * X - 1.53715 * Y - .498535 * Z,
                       -.969256 * X + 1.87599 * Y + .041556 * Z,
                       .055648 * X - .204043 * Y + 1.05731 * Z);

    // The sun's disc, max(cosGamma, 0) ^ 1000 = s^512 s^256 s^128 s^64 s^32 s^8, as squarings.
    float s8 = max(cosGamma, 0.);
    s8 *= s8;
    s8 *= s8;
    s8 *= s8;
    float s32 = s8 * s8;
    s32 *= s32;
    float s64 = s32 * s32;
    float s128 = s64 * s64;
    float s256 = s128 * s128;
    colour += s256 * s256 * s256 * s128 * s64 * s32 * s8 * .5;

    // Clouds, faded out toward the horizon; where the noise is low both layers darken the sky
    // slightly.
    // Powers as squarings.
    float y2 = R.y * R.y;
    float h = clamp(y2 * y2 * 300., 0., 1.);
    float near2 = nearNoise * nearNoise;
    float far4 = farNoise * farNoise;
    far4 *= far4;
    colour += vec3(1., .7, .6) * (near2 * near2 * 4. - .1) * .1 * h;
    colour += (far4 * far4 * 10. - .2) * .05 * h;

    return clamp(colour, 0., 1.);
}

// encodedSkyRadiance() as linear colour.
vec3 skyRadiance(vec3 R, vec3 sun, vec3 normaliser, float nearNoise, float farNoise) {
    return pow(encodedSkyRadiance(R, sun, normaliser, nearNoise, farNoise), vec3(2.2));
}

// The gamma-encoded sky toward R with its two drifting cloud layers read from `noise` (the fbm
// texture) at `seconds`. R should be unit length; below the horizon it is evaluated just above.
vec3 encodedCloudySky(vec3 R, vec3 sun, vec3 normaliser, sampler2D noise, float seconds) {
    R.y = max(R.y, .0001);
    vec2 p = cloudPlane(R);
    return encodedSkyRadiance(R, sun, normaliser,
                              texture2D(noise, p - vec2(0., seconds * .03)).r,
                              texture2D(noise, p - vec2(0., seconds * .006)).r);
}

// encodedCloudySky() as linear colour.
vec3 cloudySky(vec3 R, vec3 sun, vec3 normaliser, sampler2D noise, float seconds) {
    return pow(encodedCloudySky(R, sun, normaliser, noise, seconds), vec3(2.2));
}

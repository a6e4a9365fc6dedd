#version 120
// Shading of one hit, the mirror chain, fog, the logo overlay and gamma encoding. Third part of
// the scene fragment program, after scene_geometry_plain and scene_sky_plain.
//
// Inputs:
//   varying vec2 v             quad position, (-1, -1) bottom-left to (1, 1) top-right
//   uniform vec2 resolution    size of the target in pixels (only its aspect is used)
//   uniform sampler2D logo     unit 0: 1920 x 608 RGBA logo, transparent around it, mipmapped
//   uniform sampler2D checker  unit 2: 256 x 256 luminance checkerboard, 2 x 2 squares, mipmapped
//   time, fbm, hourOfDay, spheres[], sunDirection   from the earlier parts; setUpFrame() must
//                                                   have run before pictureColour().
// Colours are linear until pictureColour() encodes them with the power 1 / 2.2.

varying vec2 v;
uniform vec2 resolution;
uniform sampler2D logo;
uniform sampler2D checker;

// Share of the sky's colour over a ray segment of the given length: 0 up to about 4.77 units,
// all sky from about 37.1.
float fogAmount(float segmentLength) {
    return clamp(exp(segmentLength * .02) - 1.1, 0., 1.);
}

// Linear colour of the ray segment from O along D to the hit P with normal N and identifier id.
vec3 shadeHit(vec3 O, vec3 D, vec3 P, vec3 N, int id) {
    vec3 sky = skyColor(O, D);
    vec3 antiSun = normalize(vec3(-sunDirection.x, 0., -sunDirection.z));
    if (id == -3)
        return sky;

    // Spheres, like letters, are mirrors with no colour of their own: their hits are normally
    // replaced by what they reflect. Only a sphere met by the last reflection of a chain is
    // shaded here, and black keeps it a dark mirror that shows just the fog's share of its sky.
    vec3 base = vec3(0.);
    if (id == -1)  // floor: 0.2 on black squares, 0.7 on white ones, moving with the letters
        base = texture2D(checker, P.xz * .4 + vec2(0., -time * 1.75)).rgb * .5 + .2;

    float occlusion = sceneOcclusion(P, N);
    occlusion = occlusion * .5 + .5 * occlusion * occlusion * occlusion;
    float sunLight = max(dot(sunDirection, N), 0.) * sceneSoftShadow(P, sunDirection);
    vec3 skyAway = skyColor(P, antiSun);
    // Sunlight is absent until 6 s and reaches full strength at 16 s.
    vec3 colour = vec3(1., .9, .7) * (sunDirection.y * .5 + .5) * sunLight *
                      clamp((time - 6.) * .1, 0., 1.) +
                  .3 * (sky + skyAway) * .5 * occlusion;
    colour *= base;
    return mix(colour, sky, fogAmount(length(O - P)));
}

// The logo laid over `colour` in screen space. id1 is the camera ray's hit: spheres pass in
// front of the logo.
vec3 overlayLogo(vec3 colour, vec2 uv, float aspect, int id1) {
    // Width 3.15657 times the height at any aspect; no clamping, the repeat wrap applies.
    vec2 logoCoord = vec2(v.x / (3.15657 / aspect) * 1.2 + .5, v.y * 1.2 - .2);
    vec4 L = pow(texture2D(logo, logoCoord), vec4(2.2));
    vec3 tint = normalize(skyColor(vec3(0.), vec3(1., .1, 0.))) * 1.5;
    L.rgb *= tint;
    // Read before the branch, where every pixel of a 2 x 2 block takes it and the mip level of
    // the noise is well defined.
    float noise = texture2D(fbm, uv).r;
    if (abs(v.x) < .8 && uv.y > .64 && id1 < 0) {
        // Dissolves in between 14.2 s and 16.2 s with a soft edge one eighth of the noise wide.
        float reveal = clamp((time - 14.2) * .5, 0., 1.);
        float a = L.a * clamp(noise * 8. - 8. + reveal * 9., 0., 1.);
        colour = mix(colour, L.rgb, a);
    }
    return colour;
}

// The gamma-encoded colour of this fragment before the fade-in.
vec3 pictureColour() {
    float aspect = resolution.x / resolution.y;
    vec2 uv = v * .5 + .5;
    vec3 O;
    vec3 D;
    cameraRay(v, aspect, O, D);

    vec3 P;
    vec3 N;
    int id;
    traceScene(O, D, P, N, id);
    vec3 P1 = P;
    vec3 S1 = skyColor(O, D);
    vec3 O1 = O;
    int id1 = id;

    vec3 colour = vec3(0.);
    if (id < 0)
        colour = shadeHit(O, D, P, N, id);
    // Spheres and letters are perfect mirrors: what they reflect replaces their own shading. The
    // floor and the sky end the chain, and so does the second reflection.
    for (int bounce = 0; bounce < 2; bounce++) {
        if (id >= 0 || id == -2) {
            O = P + N * .01;
            D = reflect(D, N);
            traceScene(O, D, P, N, id);
            colour = shadeHit(O, D, P, N, id);
        }
    }
    if (id1 == -2)
        colour += .1;
    // The camera segment's fog, toward the camera ray's sky; a miss lies 1e+10 away, all sky.
    colour = mix(colour, S1, fogAmount(length(O1 - P1)));
    colour = overlayLogo(colour, uv, aspect, id1);
    return pow(colour, vec3(1. / 2.2));
}

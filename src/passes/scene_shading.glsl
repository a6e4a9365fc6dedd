#version 120
// Shading of the last segment of the mirror chain, fog, the logo overlay and gamma encoding.
// Fragment stage.
//
// Inputs:
//   varying vec2 v                quad position, (-1, -1) bottom-left to (1, 1) top-right
//   uniform vec2 resolution       size of the target in pixels (only its aspect is used)
//   uniform sampler2D logo        unit 0: 1920 x 608 RGBA logo, transparent around it, mipmapped
//   uniform sampler2D checker     unit 2: 256 x 256 grey RGBA checkerboard, 2 x 2 squares,
//                                 mipmapped
//   uniform sampler2D dissolveNoise  unit 5: the fbm texture while the logo dissolves, then one
//                                 white texel, nearest (ScenePass)
//   uniform sampler2D logoLayer   unit 6, with LOGO_FROM_LAYER: the logo's texel at each pixel of
//                                 the target, as logoTexel() reads it, nearest (ScenePass)
//   time, fbm, frameSkyAway, frameLogoTint   (scene_inputs)
//   spheres[], sunDirection                  (scene_geometry); readFrame() must have run before
//                                            pictureColour().
// Colours are linear until pictureColour() encodes them with the power 1 / 2.2.
//
// Defines that specialise the program for tiles whose camera rays can meet less (SceneTiles):
//   SKY_TILE     every camera ray misses everything: the sky alone
//   FLOOR_TILE   every camera ray meets the floor first: no mirrors, letters or clouds
//   NO_SHADOW    with FLOOR_TILE: no sphere's soft shadow reaches the tile's floor, or sunlight
//                has no strength yet
//   NO_LOGO      the logo is not over the tile, is clear wherever the tile reads it, or is not
//                yet visible
//   LOGO_FROM_LAYER  the logo's texels from the layer that LOGO_LAYER draws (scene.frag)
// With none, the program draws any pixel. SHADE_EVERY_SEGMENT (the plain program's adapter) shades
// the mirror chain's segments in the plain program's order, which gives the same picture but for
// the mip levels along sphere edges.

varying vec2 v;
uniform vec2 resolution;
uniform sampler2D logo;
uniform sampler2D checker;
uniform sampler2D dissolveNoise;
uniform sampler2D logoLayer;

// Share of the sky's colour over a ray segment of the given length: 0 up to about 4.77 units,
// all sky from about 37.1.
float fogAmount(float segmentLength) {
    return clamp(exp(segmentLength * .02) - 1.1, 0., 1.);
}

// Linear colour of the ray segment from O along D to the hit P with normal N and identifier id,
// whose sky toward D is `sky`.
vec3 shadeHit(vec3 O, vec3 D, vec3 P, vec3 N, int id, vec3 sky) {
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
#if defined(NO_SHADOW)
    // The spheres' soft shadow is 1 at every pixel of the tile, or sunlight has no strength yet.
    float sunLight = max(dot(sunDirection, N), 0.);
#else
    float sunLight = max(dot(sunDirection, N), 0.) * sceneSoftShadow(P, sunDirection);
#endif
    vec3 colour = vec3(1., .9, .7) * (sunDirection.y * .5 + .5) * sunLight *
                      clamp((time - SUNLIGHT_START) * .1, 0., 1.) +
                  .3 * (sky + frameSkyAway) * .5 * occlusion;
    colour *= base;
    return mix(colour, sky, fogAmount(length(O - P)));
}

// The logo's gamma-encoded texel over this pixel. The camera never moves, so it is the same in
// every frame at a given size.
vec4 logoTexel(float aspect) {
    return texture2D(logo, logoCoordinate(v, aspect));
}

// The logo laid over `colour` in screen space. id1 is the camera ray's hit: spheres pass in
// front of the logo.
vec3 overlayLogo(vec3 colour, vec2 uv, float aspect, int id1) {
    // The reads before the branch on the area, where every pixel of a 2 x 2 block takes them and
    // their mip levels are well defined.
#if defined(LOGO_FROM_LAYER)
    // The same texel, kept from the draw of the layer: one texel read instead of a mipmapped one.
    vec4 L = pow(texture2D(logoLayer, gl_FragCoord.xy / resolution), vec4(2.2));
#else
    vec4 L = pow(logoTexel(aspect), vec4(2.2));
#endif
    L.rgb *= frameLogoTint;
    // Dissolves in over LOGO_DISSOLVE_SECONDS with a soft edge one eighth of the noise wide. Once
    // revealed (reveal 1) it lets the whole logo through at any noise from 0 up, so from then on
    // the noise is one white texel, which llvmpipe reads for a fraction of the mipmapped noise's
    // price: it runs both sides of any branch, so skipping the read would not save it.
    float reveal = clamp((time - LOGO_START) / LOGO_DISSOLVE_SECONDS, 0., 1.);
    float dissolve = clamp(texture2D(dissolveNoise, uv).r * 8. - 8. + reveal * 9., 0., 1.);
    if (inLogoArea(v) && id1 < 0)
        colour = mix(colour, L.rgb, L.a * dissolve);
    return colour;
}

// The gamma-encoded colour of this fragment before the fade-in.
vec3 pictureColour() {
    float aspect = resolution.x / resolution.y;
    vec2 uv = v * .5 + .5;
    vec3 O = EYE;
    vec3 D = cameraRay(v, aspect);

#if defined(SKY_TILE) && defined(NO_LOGO)
    // The sky alone: left in the encoding its model makes it in, since decoding it to linear and
    // encoding it again gives the same colour to within float rounding.
    return encodedSkyColor(D);
#else
#if defined(SKY_TILE)
    // What the chain below gives for a miss: the sky, the fog toward the same sky at full share.
    int id1 = -3;
    vec3 colour = skyColor(O, D);
#elif defined(FLOOR_TILE)
    // What the chain below gives for a floor hit. The clouds fade out toward the horizon by the
    // fourth power of a ray's height, clamped to .0001 below it: they add under 1e-13 here.
    int id1 = -1;
    vec3 P = O + D * floorDistance(O, D);
    vec3 sky = horizonSkyColor(D);
    vec3 colour = shadeHit(O, D, P, vec3(0., 1., 0.), -1, sky);
    colour = mix(colour, sky, fogAmount(length(O - P)));
#else
    vec3 P;
    vec3 N;
    int id;
    vec3 O1 = O;
    vec3 P1;
    vec3 S1;
    int id1;
#if defined(SHADE_EVERY_SEGMENT)
    // The camera segment, then up to two reflections, each segment shaded as it is traced and
    // replacing the colour before: the plain program's order. Its texture reads sit in other
    // branches than below, and where the pixels of a 2 x 2 block take different branches the GL
    // picks other mip levels from them, so along the spheres' edges the two orders differ by up
    // to 60 levels; each program keeps its own picture.
    traceScene(O, D, P, N, id);
    P1 = P;
    S1 = skyColor(O, D);
    id1 = id;
    vec3 colour = vec3(0.);
    if (id < 0)
        colour = shadeHit(O, D, P, N, id, S1);
    for (int bounce = 0; bounce < 2; bounce++) {
        if (id >= 0 || id == -2) {
            O = P + N * .01;
            D = reflect(D, N);
            traceScene(O, D, P, N, id);
            colour = shadeHit(O, D, P, N, id, skyColor(O, D));
        }
    }
#else
    // The camera segment, then up to two reflections: spheres and letters are perfect mirrors,
    // what they reflect replaces their own shading; the floor and the sky end the chain. Each
    // turn traces one segment and takes its sky; the loop ends as soon as no pixel of the group
    // reflects any further, so a group without mirrors pays for the camera segment only. Only
    // the last segment is shaded: it is all that shows.
    vec3 sky;
    int segment = 0;
    bool reflects;
    do {
        traceScene(O, D, P, N, id);
        sky = skyColor(O, D);
        if (segment == 0) {
            P1 = P;
            S1 = sky;
            id1 = id;
        }
        reflects = (id >= 0 || id == -2) && segment < 2;
        if (reflects) {
            O = P + N * .01;
            D = reflect(D, N);
        }
        segment++;
    } while (reflects);
    vec3 colour = shadeHit(O, D, P, N, id, sky);
#endif

    if (id1 == -2)
        colour += .1;
    // The camera segment's fog, toward the camera ray's sky; a miss lies 1e+10 away, all sky.
    colour = mix(colour, S1, fogAmount(length(O1 - P1)));
#endif
#if !defined(NO_LOGO)
    colour = overlayLogo(colour, uv, aspect, id1);
#endif
    return pow(colour, vec3(1. / 2.2));
#endif
}

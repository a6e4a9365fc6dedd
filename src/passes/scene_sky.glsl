#version 120
// The sky of one ray: the analytic model of scene_sky_model with this frame's sun and normalising
// terms from the vertex stage, and the two drifting cloud layers read from the noise. Third part
// of the scene fragment program, after scene_sky_model and scene_geometry.
//
// Inputs:
//   uniform float time                  seconds since the frame loop started (scene_geometry)
//   uniform sampler2D fbm               unit 1: 256 x 256 luminance noise that tiles, mipmapped
//   varying vec3 frameSkyNormaliser     skyNormaliser() of the sun's zenith angle (scene_frame)
//   sunDirection                        global from readFrame() (scene_geometry)
// Output: skyColor() returns linear RGB.

uniform sampler2D fbm;
varying vec3 frameSkyNormaliser;

// `origin` has no effect. R should be unit length; below the horizon it is evaluated just above.
vec3 skyColor(vec3 origin, vec3 R) {
    R.y = max(R.y, .0001);
    vec2 p = cloudPlane(R);
    return skyRadiance(R, sunDirection, frameSkyNormaliser,
                       texture2D(fbm, p - vec2(0., time * .03)).r,
                       texture2D(fbm, p - vec2(0., time * .006)).r);
}

// skyColor() for a ray below the horizon, without the clouds' texture reads: they are faded out
// there by a factor under 1e-13.
vec3 horizonSkyColor(vec3 R) {
    R.y = .0001;
    return skyRadiance(R, sunDirection, frameSkyNormaliser, 0., 0.);
}

#version 120
// The sky of one ray: the analytic model of scene_sky_model with this frame's sun and normalising
// terms, and the two drifting cloud layers read from the noise. Fragment stage.
//
// Inputs: time, fbm, frameSkyNormaliser (scene_inputs); sunDirection, global from readFrame()
// (scene_geometry).
// Output: skyColor() returns linear RGB, encodedSkyColor() the same sky gamma-encoded.

// `origin` has no effect. R should be unit length; below the horizon it is evaluated just above.
vec3 skyColor(vec3 origin, vec3 R) {
    return cloudySky(R, sunDirection, frameSkyNormaliser, fbm, time);
}

vec3 encodedSkyColor(vec3 R) {
    return encodedCloudySky(R, sunDirection, frameSkyNormaliser, fbm, time);
}

// skyColor() for a ray below the horizon, without the clouds' texture reads: they are faded out
// there by a factor under 1e-13.
vec3 horizonSkyColor(vec3 R) {
    R.y = .0001;
    return skyRadiance(R, sunDirection, frameSkyNormaliser, 0., 0.);
}

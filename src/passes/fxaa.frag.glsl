#version 120
// Fragment stage of the anti-aliasing pass: a compact FXAA over the previous pass's picture.
//
// Uniforms read:  lastBuffer (sampler2D, unit 0: the source colour texture, RGBA8, bilinear,
//                 clamp to edge, same size as this target), lastBufferTexel (sampler2D, unit 1:
//                 the same texture, nearest, for the middle read at a texel centre, where bilinear
//                 gives the same value at a higher price), resolution (target size in pixels).
// Declared, never read, never set (the shader's fixed layout): v (varying), time, mask, CC.
// The corner taps fall between texel centres, so the result depends on bilinear filtering.
// Without ON the stage is a plain copy of the source.

varying vec2 v;           // part of the shader's fixed layout; unread
uniform float time;       // part of the shader's fixed layout; unread
uniform sampler2D lastBuffer;
uniform sampler2D lastBufferTexel;
uniform sampler2D mask;   // part of the shader's fixed layout; unread
uniform float CC[4];      // part of the shader's fixed layout; unread
uniform vec2 resolution;

#define ON
#define FXAA_SPAN_MAX 8.0
#define FXAA_REDUCE_MUL (1.0 / FXAA_SPAN_MAX)
#define FXAA_REDUCE_MIN (1.0 / 128.0)
#define FXAA_SUBPIX_SHIFT (1.0 / 4.0)

// BT.601 weights.
float luma(vec3 c) {
    return dot(c, vec3(0.299, 0.587, 0.114));
}

void main() {
    // One texel, and the centre of the matching source texel (the source has this target's size).
    vec2 r = 1.0 / resolution;
    vec2 p = gl_FragCoord.xy / resolution;
#ifdef ON
    // Corner taps at (-0.75, -0.75), (+0.25, -0.75), (-0.75, +0.25), (+0.25, +0.25) texels:
    // each blends four texels 0.75 / 0.25 per axis.
    vec2 o = p - r * (0.5 + FXAA_SUBPIX_SHIFT);
    float l00 = luma(texture2D(lastBuffer, o).rgb);
    float l10 = luma(texture2D(lastBuffer, o + vec2(r.x, 0.0)).rgb);
    float l01 = luma(texture2D(lastBuffer, o + vec2(0.0, r.y)).rgb);
    float l11 = luma(texture2D(lastBuffer, o + r).rgb);
    vec4 middle = texture2D(lastBufferTexel, p);
    float lM = luma(middle.rgb);
    float lumaMin = min(lM, min(min(l00, l10), min(l01, l11)));
    float lumaMax = max(lM, max(max(l00, l10), max(l01, l11)));

    // Along the edge, across the luma gradient: x from upper minus lower pair (t grows upward),
    // y from left minus right pair.
    vec2 dir;
    dir.x = -((l00 + l10) - (l01 + l11));
    dir.y = (l00 + l01) - (l10 + l11);
    float dirReduce = max((l00 + l10 + l01 + l11) * (0.25 * FXAA_REDUCE_MUL), FXAA_REDUCE_MIN);
    float rcpDirMin = 1.0 / (min(abs(dir.x), abs(dir.y)) + dirReduce);
    // At most FXAA_SPAN_MAX texels per axis, then in texture units.
    dir = min(vec2(FXAA_SPAN_MAX), max(vec2(-FXAA_SPAN_MAX), dir * rcpDirMin)) * r;

    // Inner taps at -1/6 and +1/6 of dir, outer taps at -1/2 and +1/2.
    vec3 rgbA = 0.5 * (texture2D(lastBuffer, p + dir * (1.0 / 3.0 - 0.5)).rgb +
                       texture2D(lastBuffer, p + dir * (2.0 / 3.0 - 0.5)).rgb);
    vec3 rgbB = rgbA * 0.5 + 0.25 * (texture2D(lastBuffer, p + dir * -0.5).rgb +
                                     texture2D(lastBuffer, p + dir * 0.5).rgb);
    // The wide blur overshot the neighbourhood (it crossed another edge): keep the short one.
    float lumaB = luma(rgbB);
    vec3 rgb = (lumaB < lumaMin || lumaB > lumaMax) ? rgbA : rgbB;
    // The source's own alpha, not blurred along the edge.
    gl_FragColor = vec4(rgb, middle.a);
#else
    gl_FragColor = texture2D(lastBuffer, p);
#endif
}

#version 120
// Fragment stage of the post-effect pass: radial colour fringe and vignette.
//
// Varying:  v (quad position, -1..1 on both axes, (-1,-1) at the bottom-left of the target).
// Uniforms: tex (sampler2D, unit 0: the previous pass's colour texture, RGBA8, bilinear, clamp to
//           edge), texel (sampler2D, unit 1: the same texture, nearest, for the green read at the
//           texel centre, where bilinear gives the same value at a higher price), res (target
//           size in pixels).
// Output alpha is always 1; the 8-bit target clamps the brightened middle.

varying vec2 v;
uniform sampler2D tex;
uniform sampler2D texel;
uniform vec2 res;

void main() {
    // Texture coordinate of this pixel, and the fringe offset: 3 * v texels, pointing away from
    // the centre, so red comes from farther out and blue from nearer in than green.
    vec2 g = v * 0.5 + 0.5;
    vec2 b = v / res * 3.0;
    float red = texture2D(tex, g + b).r;
    float green = texture2D(texel, g).g;
    float blue = texture2D(tex, g - b).b;
    // 0.5 on the border, 1.0 where the product is 1/28, 1.375 in the middle.
    float w = 0.5 + 0.5 * pow(g.x * g.y * (1.0 - g.x) * (1.0 - g.y) * 28.0, 1.0);
    gl_FragColor = vec4(vec3(red, green, blue) * w, 1.0);
}

#version 120
// Marks each 16 x 16-pixel tile of the scene target with its class, as a depth that only the
// class's own program then passes with an equal depth test (ScenePass). Colour writes are off.
//
// In:  gl_FragCoord (pixels from the target's bottom-left).
// Uniforms: tileClasses (sampler2D, unit 4: one texel per tile, row by row from the bottom-left,
//           red = class number / 255, nearest, clamp), tileScale (1 / (16 x the texture's size)).
// Out: gl_FragDepth = (2 x class number + 1) / 16, as ScenePass's classDepth().

uniform sampler2D tileClasses;
uniform vec2 tileScale;

void main() {
    float tileClass = floor(texture2D(tileClasses, gl_FragCoord.xy * tileScale).r * 255. + .5);
    gl_FragDepth = (tileClass * 2. + 1.) / 16.;
    gl_FragColor = vec4(0.);
}

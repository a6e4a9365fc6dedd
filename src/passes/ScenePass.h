// The first pass: ray-traces the animated scene into its own render target.
//
// Construct after TextureBank::build() with the rendering size (builds every program of the pass
// and sizes the target, laying out its tiles; after a failed build buildResult() and buildLog() say
// what failed and the pass must not render). warmUp() once before the frames are timed, then
// render(time) once per frame; resize() lays the tiles out for the new size at once, so that no
// frame pays for it. The scene is drawn tile by tile (SceneTiles): each class of 16 x 16-pixel
// tiles is drawn by its own program, the full-screen quad once per rectangle of its tiles within
// that rectangle's scissor box (up to 16 rectangles a draw, one instance each, where the GL has
// scissor arrays), so that cheaper programs draw the tiles that need less and every pixel gets the
// position the full scene program would give it. A class whose program did not
// build has its tiles drawn by the full scene program: the same picture, only slower. A pass given
// one program (the plain fallback) draws it over the whole target instead.
//
// GL contract: binds its framebuffer and programs, sets their uniforms, binds the bank's textures
// to units 0 to 5 and the logo's layer to unit 6; leaves them bound, unit 5 active, no program in
// use, the scissor test off, framebuffer 0 bound and the viewport at the screen size.
#pragma once

#include <string>
#include <vector>

#include "gl/RenderTarget.h"
#include "gl/ShaderProgram.h"
#include "gl/Texture.h"
#include "passes/SceneShaderSource.h"
#include "passes/SceneTiles.h"

namespace tw {

class ScenePass : public RenderTarget {
  public:
    // The scene's programs, one per class of tiles.
    ScenePass(int width, int height);
    // `source` alone over the whole target: the plain program, as the fallback and in the bench.
    ScenePass(int width, int height, const SceneProgramSource& source);
    // Hides RenderTarget::resize: the tile layout follows the size.
    void resize(int width, int height);
    // Draws each program once on one pixel with a frame's state (drawOnOnePixel()), and those that
    // draw the logo once more with the state they have once it is whole.
    void warmUp();
    void render(float time);

    // ShaderProgram::kBuilt, or the stage that failed, with the compiler or linker log.
    int buildResult() const { return result; }
    const std::string& buildLog() const { return failedLog; }
    // Whether each tile class draws with its own program. A class whose program does not build
    // stays with the full scene program, which draws its tiles the same, only slower.
    bool tileProgramsReady() const { return builtClasses == SceneTiles::kAllClasses; }
    // The scissor boxes one draw clips the quad to: 16 where the GL has scissor arrays and the
    // vertex stage that picks them builds, else 1.
    int scissorBoxesPerDraw() const { return boxesPerDraw; }
    // Which program drew each tile of the last frame; null for the plain program, which draws the
    // whole target.
    const SceneTiles* frameTiles() const { return tiled ? &tiles : nullptr; }

  private:
    void build(ShaderProgram& program, const std::string& vertex, const std::string& fragment);
    void drawTiles(float time, unsigned warmUpClasses);
    void drawLogoLayer();
    // Uses `program` with the frame's uniforms and the bank's textures bound.
    void useProgram(ShaderProgram& program, float time);

    bool tiled;
    ShaderProgram programs[SceneTiles::kClassCount];  // only the first without tiles
    unsigned builtClasses = 0;  // a SceneTiles bit per class whose program is built
    int boxesPerDraw = 1;       // scissor boxes one draw clips its instances to
    SceneTiles tiles;
    // The logo's texel at each pixel (LOGO_LAYER), drawn once per size: the camera never moves.
    ShaderProgram logoLayerProgram;
    RenderTarget logoLayer{Depth::kNone};
    int result = ShaderProgram::kBuilt;
    std::string failedLog;
};

}  // namespace tw

// The first pass: ray-traces the animated scene into its own render target.
//
// Construct after TextureBank::build() with the screen size (builds the full scene program and
// the tile marker, draws each once so that the GL finishes them before the first frame, then sizes
// the target; after a failed build buildResult() and buildLog() say what failed and the pass must
// not render). render(time) once per frame. The scene is drawn tile by tile (SceneTiles): a first
// draw marks each 16 x 16-pixel tile's class in the depth buffer, then each class's program draws
// within the scissor box of its tiles with an equal depth test, so that cheaper programs draw the
// tiles that need less. The cheaper programs are built one per frame, from the second on, and
// until a class has its own the full program draws its tiles: the same picture, and the first
// frame waits for one program, not five (with no shader cache each costs llvmpipe up to 0.3 s).
// A pass given one program (the plain fallback) draws it over the whole target instead.
// GL contract: binds its framebuffer and programs, sets their uniforms, binds the tile classes to
// unit 4 and then the bank's textures to units 0 to 4; leaves the bank's textures bound, unit 4
// active, no program in use, depth and scissor tests off with the depth function LESS and depth
// writes on, framebuffer 0 bound and the viewport at the screen size.
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
    void render(float time);

    // ShaderProgram::kBuilt, or the stage that failed, with the compiler or linker log.
    int buildResult() const { return result; }
    const std::string& buildLog() const { return failedLog; }
    // Whether each tile class draws with its own program yet. A class whose program does not
    // build stays with the full one, which draws its tiles the same, only slower.
    bool tileProgramsReady() const { return ready == SceneTiles::kAllClasses; }

  private:
    void build(ShaderProgram& program, const std::string& vertex, const std::string& fragment);
    int buildNextTileProgram();
    void drawTiles(float time, unsigned warmUpClasses);
    void drawScene(ShaderProgram& program, float time, float tileDepth);

    bool tiled;
    ShaderProgram programs[SceneTiles::kClassCount];  // only the first without tiles
    unsigned ready = 0;  // a SceneTiles bit per class whose program is built
    int nextClass = 0;   // the next class whose program a frame builds
    ShaderProgram marker;
    Texture tileTexture;
    SceneTiles tiles;
    std::vector<unsigned char> tileTexels;
    int tilesWidth = 0;  // the size the tiles were laid out for
    int tilesHeight = 0;
    int result = ShaderProgram::kBuilt;
    std::string failedLog;
};

}  // namespace tw

#include "passes/ScenePass.h"

#include "assets/TextureBank.h"
#include "embedded/sceneTilesFragmentSource.h"
#include "embedded/sceneTilesVertexSource.h"
#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"

namespace tw {

namespace {

// The preprocessor lines of each class's program (scene_shading.glsl), in SceneTiles::Class
// order. The last is the whole scene program, sceneProgramSource().
const char* const kClassDefines[SceneTiles::kClassCount] = {
    "#define SKY_TILE\n#define NO_LOGO\n",
    "#define FLOOR_TILE\n#define NO_LOGO\n",
    "#define NO_LOGO\n",
    "#define SKY_TILE\n",
    "",
};

// The depth scene_tiles.frag marks class c with: exact in float, and 1/16 of a step away from
// the rounding midpoints of a 16-bit depth buffer (the browser's), so that a value computed a
// little differently on the two paths still lands on the same depth.
float classDepth(int c) {
    return static_cast<float>(2 * c + 1) / 16.f;
}

}  // namespace

// The base class has already made the target at 320x240; it takes the wanted size only once the
// programs are known to build.
ScenePass::ScenePass(int width, int height) : tiled(true) {
    build(programs[SceneTiles::kGeneralLogo], sceneVertexSource(),
          sceneFragmentSource(kClassDefines[SceneTiles::kGeneralLogo]));
    build(marker, sceneTilesVertexSource, sceneTilesFragmentSource);
    if (result != ShaderProgram::kBuilt)
        return;
    ready = 1u << SceneTiles::kGeneralLogo;
    // A cheaper program that does not build leaves its class to the full program.
    for (int c = 0; c < SceneTiles::kGeneralLogo; ++c) {
        if (programs[c].build(sceneVertexSource().c_str(),
                              sceneFragmentSource(kClassDefines[c]).c_str()) ==
            ShaderProgram::kBuilt)
            ready |= 1u << c;
    }
    tileTexture.bind(4);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    resize(width, height);
}

ScenePass::ScenePass(int width, int height, const SceneProgramSource& source) : tiled(false) {
    build(programs[0], source.vertex, source.fragment);
    if (result == ShaderProgram::kBuilt)
        resize(width, height);
}

void ScenePass::resize(int width, int height) {
    RenderTarget::resize(width, height);
    if (!tiled)
        return;
    tiles.layOut(width, height);
    tileTexels.assign(static_cast<size_t>(tiles.columns()) * tiles.rows() * 4, 0);
    tileTexture.bind(4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, tiles.columns(), tiles.rows(), 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, tileTexels.data());
}

void ScenePass::warmUp() {
    if (result != ShaderProgram::kBuilt)
        return;
    if (tiled) {
        drawTiles(0.f, ready);
        return;
    }
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);
    render(0.f);
    glDisable(GL_SCISSOR_TEST);
}

// Keeps the first failure and its log; builds nothing after it.
void ScenePass::build(ShaderProgram& program, const std::string& vertex,
                      const std::string& fragment) {
    if (result != ShaderProgram::kBuilt)
        return;
    result = program.build(vertex.c_str(), fragment.c_str());
    failedLog = program.log();
}

void ScenePass::render(float time) {
    if (tiled) {
        drawTiles(time, 0);
        return;
    }
    begin();
    drawScene(programs[0], time, 0.f);
    programs[0].unuse();
    end();
}

// A frame, or with warmUpClasses (SceneTiles bits) the marker and those classes' programs drawn on
// one pixel with a frame's state: llvmpipe compiles a program for its rasteriser at its first
// draw, for the state it is drawn with, so that no frame waits for it (the logo's programs first
// draw at 14.2 s).
void ScenePass::drawTiles(float time, unsigned warmUpClasses) {
    const bool warmUp = warmUpClasses != 0;
    begin();
    tileTexture.bind(4);
    if (!warmUp) {
        tiles.classify(time, ready);
        for (size_t i = 0; i < tiles.classes().size(); ++i)
            tileTexels[i * 4] = tiles.classes()[i];
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, tiles.columns(), tiles.rows(), GL_RGBA,
                        GL_UNSIGNED_BYTE, tileTexels.data());
    }
    // The warm-up draws every program on one pixel, which the first frame draws again.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 1, 1);

    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    marker.use();
    marker.setUniform1i("tileClasses", 4);
    const float scaleX = 1.f / static_cast<float>(tiles.columns() * SceneTiles::kTileSize);
    const float scaleY = 1.f / static_cast<float>(tiles.rows() * SceneTiles::kTileSize);
    marker.setUniform2f("tileScale", scaleX, scaleY);
    if (!warmUp)
        glScissor(0, 0, width, height);
    FullscreenQuad::draw();

    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthFunc(GL_EQUAL);
    glDepthMask(GL_FALSE);
    for (int c = 0; c < SceneTiles::kClassCount; ++c) {
        const SceneTiles::Box& box = tiles.box(static_cast<SceneTiles::Class>(c));
        if (warmUp) {
            if ((warmUpClasses & (1u << c)) == 0)
                continue;
        } else {
            if (box.width == 0)
                continue;
            glScissor(box.x, box.y, box.width, box.height);
        }
        drawScene(programs[c], time, classDepth(c));
    }
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_SCISSOR_TEST);
    programs[0].unuse();
    end();
}

void ScenePass::drawScene(ShaderProgram& program, float time, float tileDepth) {
    program.use();
    program.setUniform1f("time", time);
    // The size after any reduction by the frame loop: the shader's aspect follows the target.
    program.setUniform2f("resolution", static_cast<float>(width), static_cast<float>(height));
    program.setUniform1f("tileDepth", tileDepth);
    program.setUniform1i("logo", 0);
    program.setUniform1i("fbm", 1);
    program.setUniform1i("checker", 2);
    program.setUniform1i("font", 3);
    program.setUniform1i("scroll", 4);
    TextureBank& bank = TextureBank::instance();
    bank.logo.bind(0);
    bank.fbm.bind(1);
    bank.checker.bind(2);
    bank.font.bind(3);
    bank.scroll.bind(4);
    // No clear: the draws cover the target and the shaders write every pixel, alpha included.
    FullscreenQuad::draw();
}

}  // namespace tw

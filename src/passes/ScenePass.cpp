#include "passes/ScenePass.h"

#include "assets/TextureBank.h"
#include "embedded/sceneTilesFragmentSource.h"
#include "embedded/sceneTilesVertexSource.h"
#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"
#include "passes/WarmUp.h"

namespace tw {

namespace {

// The class whose program is the full scene program (sceneProgramSource(), no defines): it draws
// any tile, so it stands in for a class whose own program did not build.
constexpr int kFullSceneProgram = SceneTiles::kGeneralLogo;

// The preprocessor lines of each class's program (scene_shading.glsl), in SceneTiles::Class
// order.
const char* const kClassDefines[SceneTiles::kClassCount] = {
    "#define SKY_TILE\n#define NO_LOGO\n",
    "#define FLOOR_TILE\n#define NO_LOGO\n",
    "#define NO_LOGO\n",
    "#define SKY_TILE\n",
    "",  // kFullSceneProgram
};

// The depth scene_tiles.frag marks class c with: exact in float, and well away from the rounding
// midpoints of the 24-bit depth buffer that both builds ask for, so that a value computed a
// little differently on the two paths still lands on the same depth.
float classDepth(int c) {
    return static_cast<float>(2 * c + 1) / 16.f;
}

}  // namespace

// The base class has already made the target at 320x240; it takes the wanted size only once the
// programs are known to build.
ScenePass::ScenePass(int width, int height) : tiled(true) {
    build(programs[kFullSceneProgram], sceneVertexSource(),
          sceneFragmentSource(kClassDefines[kFullSceneProgram]));
    build(marker, sceneTilesVertexSource, sceneTilesFragmentSource);
    if (result != ShaderProgram::kBuilt)
        return;
    builtClasses = 1u << kFullSceneProgram;
    // A cheaper program that does not build leaves its class to the full scene program.
    for (int c = 0; c < kFullSceneProgram; ++c) {
        if (programs[c].build(sceneVertexSource().c_str(),
                              sceneFragmentSource(kClassDefines[c]).c_str()) ==
            ShaderProgram::kBuilt)
            builtClasses |= 1u << c;
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
    drawOnOnePixel([this] {
        if (tiled)
            drawTiles(0.f, builtClasses);
        else
            render(0.f);
    });
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

// A frame, or with warmUpClasses (SceneTiles bits) the marker and those classes' programs drawn
// with a frame's state within the warm-up's one-pixel scissor box (drawOnOnePixel()), so that no
// frame waits for a program's first draw (the logo's programs first draw at 14.2 s).
void ScenePass::drawTiles(float time, unsigned warmUpClasses) {
    const bool warmUp = warmUpClasses != 0;
    begin();
    tileTexture.bind(4);
    if (!warmUp) {
        tiles.classify(time, builtClasses);
        for (size_t i = 0; i < tiles.classes().size(); ++i)
            tileTexels[i * 4] = tiles.classes()[i];
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, tiles.columns(), tiles.rows(), GL_RGBA,
                        GL_UNSIGNED_BYTE, tileTexels.data());
    }
    // A frame's draws each set their own scissor box; the warm-up keeps its one pixel.
    glEnable(GL_SCISSOR_TEST);

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

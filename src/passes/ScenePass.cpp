#include "passes/ScenePass.h"

#include "assets/TextureBank.h"
#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"
#include "passes/SceneFormulas.h"
#include "passes/WarmUp.h"

#include <algorithm>

namespace tw {

namespace {

// From here on the logo is whole at any noise, and its dissolve reads the bank's white texel in
// place of the noise (scene_shading.glsl): the same picture at a fraction of the cost. A hundredth
// of a second late, so that the GL's reveal has reached 1 whatever its rounding.
const float kLogoWhole = sceneformulas::LOGO_START + sceneformulas::LOGO_DISSOLVE_SECONDS + .01f;

// The classes whose programs draw the logo.
constexpr unsigned kLogoClasses = 1u << SceneTiles::kSkyLogo | 1u << SceneTiles::kGeneralLogo;

// The most scissor boxes one instanced draw clips to: GL_MAX_VIEWPORTS is at least 16 wherever
// the GL has scissor arrays.
constexpr int kBoxesPerInstancedDraw = 16;

// The class whose program is the full scene program (sceneProgramSource(), no defines): it draws
// any tile, so it stands in for a class whose own program did not build.
constexpr int kFullSceneProgram = SceneTiles::kGeneralLogo;

// The preprocessor lines of each class's program (scene_shading.glsl), in SceneTiles::Class
// order.
const char* const kClassDefines[SceneTiles::kClassCount] = {
    "#define SKY_TILE\n#define NO_LOGO\n",
    "#define FLOOR_TILE\n#define NO_LOGO\n",
    "#define FLOOR_TILE\n#define NO_LOGO\n#define NO_SHADOW\n",
    "#define NO_LOGO\n",
    "#define SKY_TILE\n#define LOGO_FROM_LAYER\n",
    "",  // kFullSceneProgram
};

// The program that draws the logo's layer, which kLogoLayerClass reads instead of the logo.
const char* const kLogoLayerDefines = "#define LOGO_LAYER\n";
constexpr int kLogoLayerClass = SceneTiles::kSkyLogo;

// The layer's unit, past the texture bank's.
constexpr int kLogoLayerUnit = 6;

}  // namespace

// The base class has already made the target at 320x240; it takes the wanted size only once the
// programs are known to build. No draw tests depth, so the target has no depth buffer, which
// llvmpipe draws without in fewer instructions.
//
// Where the GL has scissor arrays and the vertex stage can pick an instance's viewport, one draw
// clips up to 16 instances of the quad to a box each: every draw costs llvmpipe's main thread a
// set-up of its own (about 40 thousand instructions) before its drawing threads start, and a frame
// has some 40 boxes. Where the stage does not build so, a draw per box.
ScenePass::ScenePass(int width, int height) : RenderTarget(Depth::kNone), tiled(true) {
    const std::string fullFragment = sceneFragmentSource(kClassDefines[kFullSceneProgram]);
    if (glScissorArrayv != nullptr && glDrawArraysInstancedARB != nullptr &&
        programs[kFullSceneProgram].build(sceneVertexSource(true).c_str(), fullFragment.c_str()) ==
            ShaderProgram::kBuilt)
        boxesPerDraw = kBoxesPerInstancedDraw;
    else
        build(programs[kFullSceneProgram], sceneVertexSource(), fullFragment);
    if (result != ShaderProgram::kBuilt)
        return;
    const std::string vertex = sceneVertexSource(boxesPerDraw > 1);
    builtClasses = 1u << kFullSceneProgram;
    // A cheaper program that does not build leaves its class to the full scene program, as does
    // the logo layer's class where the layer's own program does not build.
    for (int c = 0; c < kFullSceneProgram; ++c) {
        if (programs[c].build(vertex.c_str(), sceneFragmentSource(kClassDefines[c]).c_str()) ==
            ShaderProgram::kBuilt)
            builtClasses |= 1u << c;
    }
    if (logoLayerProgram.build(vertex.c_str(), sceneFragmentSource(kLogoLayerDefines).c_str()) !=
        ShaderProgram::kBuilt)
        builtClasses &= ~(1u << kLogoLayerClass);
    resize(width, height);
}

ScenePass::ScenePass(int width, int height, const SceneProgramSource& source)
    : RenderTarget(Depth::kNone), tiled(false) {
    build(programs[0], source.vertex, source.fragment);
    if (result == ShaderProgram::kBuilt)
        resize(width, height);
}

void ScenePass::resize(int width, int height) {
    RenderTarget::resize(width, height);
    if (!tiled)
        return;
    tiles.layOut(width, height);
    if ((builtClasses & (1u << kLogoLayerClass)) != 0)
        drawLogoLayer();
}

// Every pixel of the layer gets the position the scene's programs give the same pixel: the same
// quad over a target of the same size, which makes the same texel read.
void ScenePass::drawLogoLayer() {
    logoLayer.resize(width, height);
    logoLayer.begin();
    useProgram(logoLayerProgram, 0.f);
    // Read at texel centres only; not bound while drawn into.
    glActiveTextureARB(GL_TEXTURE0 + kLogoLayerUnit);
    glBindTexture(GL_TEXTURE_2D, logoLayer.colorTexture());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    FullscreenQuad::draw();
    glBindTexture(GL_TEXTURE_2D, logoLayer.colorTexture());
    glActiveTextureARB(GL_TEXTURE5);
    logoLayerProgram.unuse();
    logoLayer.end();
}

void ScenePass::warmUp() {
    if (result != ShaderProgram::kBuilt)
        return;
    // llvmpipe compiles a program anew for each kind of texture it is drawn with.
    drawOnOnePixel([this] {
        if (tiled) {
            drawTiles(0.f, builtClasses);
            drawTiles(kLogoWhole, builtClasses & kLogoClasses);
        } else {
            render(0.f);
            render(kLogoWhole);
        }
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
    useProgram(programs[0], time);
    // No clear: the shaders write every pixel, alpha included.
    FullscreenQuad::draw();
    programs[0].unuse();
    end();
}

// A frame, or with warmUpClasses (SceneTiles bits) those classes' programs drawn with a frame's
// state within the warm-up's one-pixel scissor box (drawOnOnePixel()), so that no frame waits for
// a program's first draw (the logo's programs first draw at 14.2 s).
void ScenePass::drawTiles(float time, unsigned warmUpClasses) {
    const bool warmUp = warmUpClasses != 0;
    begin();
    if (!warmUp)
        tiles.classify(time, builtClasses);
    // A frame's draws each set their own scissor boxes; the warm-up keeps its one pixel, which
    // glScissor() gave every viewport.
    glEnable(GL_SCISSOR_TEST);
    for (int c = 0; c < SceneTiles::kClassCount; ++c) {
        const std::vector<SceneTiles::Box>& boxes = tiles.boxes(static_cast<SceneTiles::Class>(c));
        if (warmUp ? (warmUpClasses & (1u << c)) == 0 : boxes.empty())
            continue;
        useProgram(programs[c], time);
        if (warmUp)
            FullscreenQuad::draw();
        // The same full-screen quad for every box, so that each pixel's interpolated position is
        // the one the full scene program gives it.
        for (size_t first = 0; !warmUp && first < boxes.size(); first += boxesPerDraw) {
            const size_t count = std::min(boxes.size() - first, static_cast<size_t>(boxesPerDraw));
            if (boxesPerDraw == 1) {
                glScissor(boxes[first].x, boxes[first].y, boxes[first].width, boxes[first].height);
            } else {
                GLint scissors[4 * kBoxesPerInstancedDraw];
                for (size_t i = 0; i < count; ++i) {
                    const SceneTiles::Box& box = boxes[first + i];
                    const GLint scissor[4] = {box.x, box.y, box.width, box.height};
                    std::copy_n(scissor, 4, scissors + 4 * i);
                }
                glScissorArrayv(0, static_cast<GLsizei>(count), scissors);
            }
            FullscreenQuad::drawInstances(static_cast<GLsizei>(count));
        }
    }
    glDisable(GL_SCISSOR_TEST);
    programs[0].unuse();
    end();
}

void ScenePass::useProgram(ShaderProgram& program, float time) {
    program.use();
    program.setUniform1f("time", time);
    // The size after any reduction by the frame loop: the shader's aspect follows the target.
    program.setUniform2f("resolution", static_cast<float>(width), static_cast<float>(height));
    program.setUniform1i("logo", 0);
    program.setUniform1i("fbm", 1);
    program.setUniform1i("checker", 2);
    program.setUniform1i("font", 3);
    program.setUniform1i("scroll", 4);
    program.setUniform1i("dissolveNoise", 5);
    program.setUniform1i("logoLayer", kLogoLayerUnit);
    glActiveTextureARB(GL_TEXTURE0 + kLogoLayerUnit);
    glBindTexture(GL_TEXTURE_2D, logoLayer.colorTexture());
    TextureBank& bank = TextureBank::instance();
    bank.logo.bind(0);
    bank.fbm.bind(1);
    bank.checker.bind(2);
    bank.font.bind(3);
    bank.scroll.bind(4);
    (time >= kLogoWhole ? bank.white : bank.fbm).bind(5);
}

}  // namespace tw

// The three passes' pictures against the committed references in tests/passes/reference: the
// scene at five times, one of them halfway through the logo's dissolve, the anti-aliasing and
// post-effect passes over one synthetic picture. Each pass first renders a frame at a larger size
// and is then resized, as after a calibration step, so a size that does not reach the shader or a
// colour texture lost in the resize shows too; and the GL state each leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/TextureBank.h"
#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"
#include "passes/FxaaPass.h"
#include "passes/PostFxPass.h"
#include "passes/SceneFormulas.h"
#include "passes/ScenePass.h"
#include "passes/SceneShaderSource.h"
#include "support/GlTestContext.h"
#include "support/PixelProbe.h"

namespace tw {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 180;

enum class Kind { Scene, Fxaa, PostFx };

struct Row {
    Kind kind;
    float time;
    const char* name;  // reference/<name>.png
    int levels;        // a pixel differs when a channel is off by more than this
    double share;      // the share of the pixels that may differ
};

void PrintTo(const Row& row, std::ostream* out) {
    *out << row.name;
}

// One frame at a larger size, then the compared frame at the reference size. Whatever its size, a
// pass leaves framebuffer 0 bound and the viewport at the screen's size (kWidth x kHeight here).
template <typename Pass, typename... Source>
test::Image renderAfterResize(float time, const Source&... source) {
    Pass pass(kWidth + 64, kHeight + 36, source...);
    pass.render(time);
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4),
              (std::vector<GLint>{0, 0, kWidth, kHeight}));
    EXPECT_EQ(test::glInteger(GL_FRAMEBUFFER_BINDING_EXT), 0);
    pass.resize(kWidth, kHeight);
    pass.render(time);
    return test::readFramebuffer(pass.framebuffer(), kWidth, kHeight);
}

const std::string kReferenceDir = std::string(TW_SOURCE_DIR) + "/tests/passes/reference/";

// The filters read reference/filter-source.png, alpha varying from pixel to pixel: a hard-edged
// disc and a shallow line over two tones with a little noise; a near-black band with sparse dim
// dots, where the edge detector works at its floor; and stripes of two colours of equal luma
// under a white band, which only the right luma weights see as flat.
test::Image render(const Row& row) {
    if (row.kind == Kind::Scene)
        return renderAfterResize<ScenePass>(row.time);
    RenderTarget source;
    source.resize(kWidth, kHeight);
    test::Image picture;
    EXPECT_TRUE(test::readPng(kReferenceDir + "filter-source.png", picture));
    picture.pixels.resize(kWidth * kHeight * 4);
    glBindTexture(GL_TEXTURE_2D, source.colorTexture());
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE,
                    picture.pixels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    if (row.kind == Kind::Fxaa)
        return renderAfterResize<FxaaPass>(row.time, &source);
    return renderAfterResize<PostFxPass>(row.time, &source);
}

class PassPicture : public ::testing::TestWithParam<Row> {
  protected:
    static void SetUpTestSuite() { test::GlTestContext::ensure(kWidth, kHeight); }
};

// The pass's picture matches its reference within the row's tolerance.
TEST_P(PassPicture, MatchesReference) {
    const Row& row = GetParam();
    const test::Image image = render(row);
    const std::string written = test::savePng(image, row.name);
    const std::string reference = kReferenceDir + row.name + ".png";
    test::Image expected;
    ASSERT_TRUE(test::readPng(reference, expected))
        << "no reference " << reference << "; to adopt the picture, copy " << written;
    EXPECT_TRUE(test::picturesAgree(image, expected, row.levels, row.share, row.name));
}

// Llvmpipe renders the references bit for bit; the tolerances are for another GL. In the scene
// its rounding moves an edge of a letter or sphere by a pixel, and GLSL leaves the mip level
// undefined in 2 x 2 blocks straddling an edge: 0.7 to 1 % of the pixels. The filters' exact
// results (in double precision) differ from llvmpipe's by at most 2 levels after the post-effect
// pass, and by more than 6 levels on 8 pixels after the anti-aliasing, where its choice of blur
// is too close to call. A wrong formula, tap or constant changes at least twice these shares.
INSTANTIATE_TEST_SUITE_P(Passes, PassPicture,
                         ::testing::Values(Row{Kind::Scene, 3.f, "scene-3s", 4, 0.02},
                                           Row{Kind::Scene, 10.f, "scene-10s", 4, 0.02},
                                           Row{Kind::Scene, 15.2f, "scene-15.2s", 4, 0.02},
                                           Row{Kind::Scene, 20.f, "scene-20s", 4, 0.02},
                                           Row{Kind::Scene, 30.f, "scene-30s", 4, 0.02},
                                           Row{Kind::Fxaa, 0.f, "fxaa", 6, 0.0003},
                                           Row{Kind::PostFx, 0.f, "postfx", 2, 0.001}));

// The tiled scene against its full scene program drawn over every pixel, after its warm-up, at two
// sizes, the second after a resize (whose tiles must be laid out anew): at late times up to the
// end of a day, where the GL's sin and cos of large angles stray furthest from the classifier's,
// then also through the spheres' four formations and the logo's appearance. A tile given a
// program that cannot draw what its rays meet (a sphere's edge, the letters, the logo) shows as a
// wrong patch at some time.
TEST(ScenePassTiles, MatchFullSceneProgramAtAnyTime) {
    test::GlTestContext::ensure(kWidth, kHeight);
    ScenePass tiled(kWidth + 64, kHeight + 36);
    ScenePass full(kWidth + 64, kHeight + 36, sceneProgramSource());
    ASSERT_EQ(tiled.buildResult(), ShaderProgram::kBuilt) << tiled.buildLog();
    // Every program built at construction; none left to the full scene program by a failed build.
    ASSERT_TRUE(tiled.tileProgramsReady());
    tiled.warmUp();
    std::vector<float> times = {1000.f, 43210.25f, 86000.5f, 86399.9f};
    for (const int width : {kWidth + 64, kWidth}) {
        const int height = width * kHeight / kWidth;
        tiled.resize(width, height);
        full.resize(width, height);
        for (const float time : times) {
            tiled.render(time);
            full.render(time);
            const std::string name =
                "scene-tiles-" + std::to_string(width) + "-" + std::to_string(time) + "s";
            ASSERT_TRUE(test::picturesAgree(
                test::readFramebuffer(tiled.framebuffer(), width, height),
                test::readFramebuffer(full.framebuffer(), width, height), 2, 0., name));
        }
        for (float time = .25f; time < 80.f; time += 1.1f)
            times.push_back(time);
    }
}

// A GL without scissor arrays gets a draw per box, the same picture to the bit: the browser's case.
// The boxes of a class fill several instanced draws at 20 s, where a box given to the wrong
// instance, or an instance left with another draw's box, leaves a patch of stale pixels.
TEST(ScenePassTiles, DrawTheSameWithoutScissorArrays) {
    test::GlTestContext::ensure(kWidth, kHeight);
    ScenePass instanced(kWidth * 4, kHeight * 4);
    const PFNGLSCISSORARRAYVPROC scissorArray = glScissorArrayv;
    glScissorArrayv = nullptr;
    ScenePass perBox(kWidth * 4, kHeight * 4);
    glScissorArrayv = scissorArray;
    ASSERT_EQ(instanced.scissorBoxesPerDraw(), 16) << "llvmpipe has scissor arrays";
    ASSERT_EQ(perBox.scissorBoxesPerDraw(), 1);
    ASSERT_EQ(perBox.buildResult(), ShaderProgram::kBuilt) << perBox.buildLog();
    instanced.warmUp();
    perBox.warmUp();
    size_t mostBoxes = 0;
    for (const float time : {3.f, 15.2f, 20.f, 43210.25f}) {
        instanced.render(time);
        perBox.render(time);
        for (int c = 0; c < SceneTiles::kClassCount; ++c)
            mostBoxes = std::max(
                mostBoxes, instanced.frameTiles()->boxes(static_cast<SceneTiles::Class>(c)).size());
        ASSERT_TRUE(test::picturesAgree(
            test::readFramebuffer(instanced.framebuffer(), kWidth * 4, kHeight * 4),
            test::readFramebuffer(perBox.framebuffer(), kWidth * 4, kHeight * 4), 0, 0.,
            "scene-boxes-" + std::to_string(time) + "s"));
    }
    EXPECT_GT(mostBoxes, 16u) << mostBoxes;
}

// The anti-aliasing pass over the tiled scene, which copies the inner parts of the sky's tiles,
// against the same pass filtering every pixel: within one level everywhere (the filter moves a
// pixel of fast-changing cloud by a level now and then), after a resize, before the logo (a wide
// band of sky), through its dissolve and at a late time. The copied pixels are the scene's own: a
// copy shifted by a texel, or a pixel drawn by neither program, shows.
TEST(FxaaPassSky, CopiesTheSkyAndFiltersTheRest) {
    test::GlTestContext::ensure(kWidth, kHeight);
    ScenePass scene(kWidth + 64, kHeight + 36);
    FxaaPass copying(kWidth + 64, kHeight + 36, &scene, scene.frameTiles());
    FxaaPass filtering(kWidth + 64, kHeight + 36, &scene);
    ASSERT_EQ(copying.buildResult(), ShaderProgram::kBuilt) << copying.buildLog();
    scene.render(3.f);
    copying.render(3.f);
    scene.resize(kWidth, kHeight);
    copying.resize(kWidth, kHeight);
    filtering.resize(kWidth, kHeight);
    long copied = 0;
    for (const float time : {3.f, 15.2f, 20.f, 43263.f}) {
        scene.render(time);
        copying.render(time);
        filtering.render(time);
        const std::string name = "fxaa-sky-" + std::to_string(time) + "s";
        const test::Image image = test::readFramebuffer(copying.framebuffer(), kWidth, kHeight);
        ASSERT_TRUE(test::picturesAgree(
            image, test::readFramebuffer(filtering.framebuffer(), kWidth, kHeight), 1, 0., name));
        const test::Image source = test::readFramebuffer(scene.framebuffer(), kWidth, kHeight);
        const SceneTiles& tiles = *scene.frameTiles();
        for (const SceneTiles::Box& box : tiles.boxes(SceneTiles::kSky)) {
            // The filter's reach: 5 texels.
            const SceneTiles::Box inner = tiles.interior(SceneTiles::kSky, box, 5);
            for (int y = inner.y; y < inner.y + inner.height; ++y)
                for (int x = inner.x; x < inner.x + inner.width; ++x, ++copied)
                    for (int k = 0; k < 4; ++k) {
                        const size_t i = (static_cast<size_t>(y) * kWidth + x) * 4 + k;
                        ASSERT_EQ(image.pixels[i], source.pixels[i])
                            << x << "," << y << " " << name;
                    }
        }
    }
    // Most of the sky before the logo, its sides after: over half a frame in all.
    EXPECT_GE(copied, kWidth * kHeight / 2);
}

// Tiles that the classifier finds clear of the logo read no logo at any pixel, as the GL samples
// its texture there (mip levels, filtering and the repeat), at the intro's sizes: the scene's own
// read, into a float target, so that a trace of alpha too faint for 8 bits counts too.
TEST(ScenePassTiles, LogoClearTilesReadNoLogoOnTheGl) {
    test::GlTestContext::ensure(kWidth, kHeight);
    ShaderProgram program;
    ASSERT_EQ(
        program.build("#version 120\nvoid main() { gl_Position = gl_Vertex; }", R"(#version 120
uniform sampler2D logo;
uniform vec2 resolution;
void main() {
    vec2 v = gl_FragCoord.xy / resolution * 2. - 1.;
    float aspect = resolution.x / resolution.y;
    gl_FragColor = texture2D(logo, vec2(v.x / (3.15657 / aspect) * 1.2 + .5, v.y * 1.2 - .2));
})"),
        ShaderProgram::kBuilt)
        << program.log();
    int clearTiles = 0;
    for (const int width : {256, 320, 384, 512, 640, 768, 896, 1280, 1920}) {
        const int height = width * 9 / 16;
        RenderTarget target;
        target.resize(width, height);
        glBindTexture(GL_TEXTURE_2D, target.colorTexture());
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F_ARB, width, height, 0, GL_RGBA, GL_FLOAT,
                     nullptr);
        target.begin();
        program.use();
        program.setUniform1i("logo", 0);
        program.setUniform2f("resolution", static_cast<float>(width), static_cast<float>(height));
        TextureBank::instance().logo.bind(0);
        FullscreenQuad::draw();
        program.unuse();
        std::vector<float> seen(static_cast<size_t>(width) * height * 4);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_FLOAT, seen.data());
        target.end();
        SceneTiles tiles;
        tiles.layOut(width, height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int i =
                    y / SceneTiles::kTileSize * tiles.columns() + x / SceneTiles::kTileSize;
                if (!tiles.tile(i).clearLogo)
                    continue;
                clearTiles += x % SceneTiles::kTileSize == 0 && y % SceneTiles::kTileSize == 0;
                ASSERT_EQ(seen[(static_cast<size_t>(y) * width + x) * 4 + 3], 0.f)
                    << "pixel " << x << "," << y << " at " << width << "x" << height;
            }
        }
    }
    // Most of them at the larger sizes, where the letters stand clear of the area's sides.
    EXPECT_GE(clearTiles, 500);
}

// The classifier's sphere paths against the GL's own, which the scene's vertex stage computes into
// a float target, a row per time from 570 s to the end of a day, where float and double angles
// differ by up to .03 radians. Llvmpipe's sin and cos are exact to float, so the two agree there
// but for the mixes' rounding, far inside the classifier's margin, which also covers other GLs.
TEST(ScenePassTiles, SphereCentresMatchTheGlAtLateTimes) {
    test::GlTestContext::ensure(kWidth, kHeight);
    constexpr int kCount = sceneformulas::SPHERE_COUNT, kTimes = 200;
    // Pixel k of a row shows sphere k. The varying is declared as the scene's stages declare it
    // (scene_extensions, scene_inputs), or the program does not link.
    const std::string fragment = "#version 120\n#define COUNT " + std::to_string(kCount) + R"(
#ifdef GL_EXT_gpu_shader4
#extension GL_EXT_gpu_shader4 : enable
flat
#endif
varying vec4 frameSpheres[COUNT];
void main() {
    gl_FragColor = vec4(0.);
    for (int k = 0; k < COUNT; k++)
        if (k == int(gl_FragCoord.x))
            gl_FragColor = frameSpheres[k];
})";
    ShaderProgram program;
    ASSERT_EQ(program.build(sceneVertexSource().c_str(), fragment.c_str()), ShaderProgram::kBuilt)
        << program.log();
    RenderTarget target;
    target.resize(kCount, kTimes);
    glBindTexture(GL_TEXTURE_2D, target.colorTexture());
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F_ARB, kCount, kTimes, 0, GL_RGBA, GL_FLOAT, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    auto timeOf = [](int row) { return 86400.f - 431.3f * row; };
    target.begin();
    program.use();
    for (int row = 0; row < kTimes; ++row) {
        glViewport(0, row, kCount, 1);
        program.setUniform1f("time", timeOf(row));
        FullscreenQuad::draw();
    }
    program.unuse();
    std::vector<float> seen(kCount * kTimes * 4);
    glReadPixels(0, 0, kCount, kTimes, GL_RGBA, GL_FLOAT, seen.data());
    target.end();
    float worst = 0.f, worstTime = 0.f;
    for (int row = 0; row < kTimes; ++row) {
        for (int k = 0; k < kCount; ++k) {
            const sceneformulas::vec4 sphere = sceneformulas::animatedSphere(k, timeOf(row));
            const float* gl = &seen[(row * kCount + k) * 4];
            const float distance =
                std::hypot(gl[0] - sphere.xyz.x, gl[1] - sphere.xyz.y, gl[2] - sphere.xyz.z) +
                std::fabs(gl[3] - sphere.w);
            if (!(distance <= worst)) {
                worst = distance;
                worstTime = timeOf(row);
            }
        }
    }
    EXPECT_LE(worst, 1e-4f) << "at " << worstTime << " s, where the classifier's margin is "
                            << SceneTiles::sphereMargin(worstTime);
}

}  // namespace
}  // namespace tw

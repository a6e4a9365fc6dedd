// The frame driver over a real GL: every program drawn before its first frame, the GL state that
// leaves for the passes, and the calibration's bookkeeping, whose rule itself is
// ResolutionStepTest's.
#include <gtest/gtest.h>

#include "gl/GlExtensionTable.h"
#include "passes/FrameDriver.h"
#include "passes/plain/PlainScene.h"
#include "support/GlTestContext.h"
#include "support/PixelProbe.h"
#include "support/Process.h"

namespace tw {
namespace {

constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 180;

// Frames at 0 s and at 20 s (the logo's tiles, from 14.2 s, have programs of their own) build no
// program and draw with none for the first time: llvmpipe would compile it then, inside the
// calibration's window.
void expectNoProgramOnTheClock(const std::function<void(float)>& frame) {
    const long builds = ShaderProgram::buildCount();
    const long firstDraws = ShaderProgram::firstUseCount();
    for (float time : {0.f, 20.f})
        frame(time);
    EXPECT_EQ(ShaderProgram::buildCount(), builds);
    EXPECT_EQ(ShaderProgram::firstUseCount(), firstDraws);
}

TEST(FrameDriver, DrawsEveryProgramBeforeItsFirstFrame) {
    test::GlTestContext::ensure(kScreenWidth, kScreenHeight);
    FrameDriver driver({kScreenWidth, kScreenHeight}, {.calibrate = false, .stretch = true});
    ASSERT_EQ(driver.failure(), nullptr) << driver.failure()->log;
    // What the warm-up's one pixel leaves behind is what the passes expect.
    EXPECT_EQ(test::glInteger(GL_SCISSOR_TEST), 0);
    EXPECT_EQ(test::glInteger(GL_DEPTH_TEST), 0);
    EXPECT_EQ(test::glInteger(GL_FRAMEBUFFER_BINDING_EXT), 0);
    EXPECT_EQ(test::glInteger(GL_CURRENT_PROGRAM), 0);
    // Unit 0 active and no nearest sampler left on unit 1, where the scene reads mipmapped noise.
    EXPECT_EQ(test::glInteger(GL_ACTIVE_TEXTURE), GL_TEXTURE0);
    glActiveTextureARB(GL_TEXTURE1);
    EXPECT_EQ(test::glInteger(GL_SAMPLER_BINDING), 0);
    glActiveTextureARB(GL_TEXTURE0);
    expectNoProgramOnTheClock([&](float time) {
        driver.render(time);
        driver.present(kScreenWidth, kScreenHeight);
    });
}

// The plain program, where the GL cannot run the scene program, is drawn before its frames too.
TEST(FrameDriver, PlainSceneDrawnBeforeItsFirstFrame) {
    test::GlTestContext::ensure(kScreenWidth, kScreenHeight);
    ScenePass plain(kScreenWidth, kScreenHeight, plainSceneProgramSource());
    ASSERT_EQ(plain.buildResult(), ShaderProgram::kBuilt) << plain.buildLog();
    plain.warmUp();
    EXPECT_EQ(test::glInteger(GL_SCISSOR_TEST), 0);
    expectNoProgramOnTheClock([&](float time) { plain.render(time); });
}

// A window of half a second with fewer than 20 frames lowers the size by one step; a size set
// from outside starts the window again, so its first frame cannot step however long ago the last
// one was; without calibration the size never changes.
TEST(FrameDriver, StepsAfterASlowWindowAndRestartsOnResize) {
    test::GlTestContext::ensure(kScreenWidth, kScreenHeight);
    // Wider than 320, so that one step down (to 320x180) is allowed.
    const RenderSize start = {kScreenWidth + 128, kScreenHeight + 72};
    FrameDriver calibrated(start, {.calibrate = true, .stretch = false});
    FrameDriver fixed(start, {.calibrate = false, .stretch = false});
    ASSERT_EQ(calibrated.failure(), nullptr);
    ASSERT_EQ(fixed.failure(), nullptr);
    calibrated.render(0.f);
    fixed.render(0.f);
    test::sleepFor(0.6);  // longer than the window, whatever the load: a step is due
    calibrated.render(.6f);
    fixed.render(.6f);
    EXPECT_EQ(calibrated.size().width, kScreenWidth);
    EXPECT_EQ(calibrated.size().height, kScreenHeight);
    EXPECT_EQ(calibrated.output().getWidth(), kScreenWidth);
    EXPECT_EQ(fixed.size().width, start.width);

    test::sleepFor(0.6);
    calibrated.resize(start);
    calibrated.render(1.2f);
    EXPECT_EQ(calibrated.size().width, start.width);
    EXPECT_EQ(calibrated.output().getWidth(), start.width);
}

// Only frames of play are timed: neither the gap after hold() (a pause) nor a picture drawn while
// play stands (redraw()) lowers the size, however long either takes, and the first frame of play
// after either starts a fresh window, which a slow one then ends with a step as usual.
TEST(FrameDriver, TimesOnlyFramesOfPlay) {
    test::GlTestContext::ensure(kScreenWidth, kScreenHeight);
    const RenderSize start = {kScreenWidth + 128, kScreenHeight + 72};
    FrameDriver driver(start, {.calibrate = true, .stretch = false});
    ASSERT_EQ(driver.failure(), nullptr);
    const auto sizeAfter = [&](void (FrameDriver::*draw)(float), float time) {
        test::sleepFor(0.6);
        (driver.*draw)(time);
        return driver.size().width;
    };
    driver.render(0.f);
    driver.hold();
    EXPECT_EQ(sizeAfter(&FrameDriver::render, 0.f), start.width);
    EXPECT_EQ(sizeAfter(&FrameDriver::redraw, 5.f), start.width);
    EXPECT_EQ(sizeAfter(&FrameDriver::render, 5.f), start.width);
    EXPECT_EQ(sizeAfter(&FrameDriver::render, 5.6f), kScreenWidth);
}

}  // namespace
}  // namespace tw

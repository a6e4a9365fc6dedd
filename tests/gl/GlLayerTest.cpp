// The GL layer on the real GL, for what the pass pictures cannot show: the state a render target
// leaves behind, and which result a shader program's build reports.
#include <gtest/gtest.h>

#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"
#include "gl/RenderTarget.h"
#include "gl/ShaderProgram.h"
#include "support/GlTestContext.h"
#include "support/PixelProbe.h"

namespace tw {
namespace {

constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 240;

class GlLayer : public ::testing::Test {
  protected:
    void SetUp() override { test::GlTestContext::ensure(kScreenWidth, kScreenHeight); }
};

// After resizes the colour texture still receives the drawing, and end() puts back framebuffer 0
// and the screen's viewport whatever the target's size.
TEST_F(GlLayer, RenderTargetKeepsColourAttachedAndEndRestoresTheScreen) {
    RenderTarget target;
    for (int i = 0; i < 4; ++i)
        target.resize(200 - 30 * i, 100 - 10 * i);
    target.begin();
    glColor4f(1, 0, 1, 1);
    FullscreenQuad::draw();
    glColor4f(1, 1, 1, 1);
    target.end();
    const test::Image drawn = test::readTexture(target.colorTexture(), 110, 70);
    EXPECT_TRUE(test::probeRect(drawn, 0, 0, 110, 70, {255, 0, 255, 255}, 0));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], kScreenWidth);
    EXPECT_EQ(viewport[3], kScreenHeight);
    EXPECT_EQ(test::glInteger(GL_FRAMEBUFFER_BINDING_EXT), 0);
}

struct BuildRow {
    const char* vertex;
    const char* fragment;
    int result;
    int stagesAttached;  // a failed vertex stage stops before the fragment stage
};

void PrintTo(const BuildRow& row, std::ostream* out) {
    *out << "result " << row.result;
}

class ShaderProgramBuild : public GlLayer, public ::testing::WithParamInterface<BuildRow> {};

// build() reports which step failed, and keeps the compiler's or linker's log only then.
TEST_P(ShaderProgramBuild, ReportsTheFailedStepWithItsLog) {
    ShaderProgram program;
    EXPECT_EQ(program.build(GetParam().vertex, GetParam().fragment), GetParam().result);
    GLint attached = -1;
    glGetObjectParameterivARB(program.handle(), GL_OBJECT_ATTACHED_OBJECTS_ARB, &attached);
    EXPECT_EQ(attached, GetParam().stagesAttached);
    EXPECT_EQ(program.log().empty(), GetParam().result == ShaderProgram::kBuilt) << program.log();
}

const char* kVertex = "#version 120\nvoid main() { gl_Position = gl_Vertex; }\n";
const char* kFragment = "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n";
const char* kBroken = "#version 120\nvoid main() { this is not glsl; }\n";
// Compiles, but no program links without a main function.
const char* kNoMain = "#version 120\nvec4 helper() { return vec4(1.0); }\n";

INSTANTIATE_TEST_SUITE_P(
    Results, ShaderProgramBuild,
    ::testing::Values(BuildRow{kVertex, kFragment, ShaderProgram::kBuilt, 2},
                      BuildRow{kBroken, kFragment, ShaderProgram::kVertexFailed, 1},
                      BuildRow{kVertex, kBroken, ShaderProgram::kFragmentFailed, 2},
                      BuildRow{kNoMain, kFragment, ShaderProgram::kLinkFailed, 2}));

}  // namespace
}  // namespace tw

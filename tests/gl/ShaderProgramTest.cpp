// Shader programs on the real GL: result codes for each kind of failure, and uniforms by name.
#include <gtest/gtest.h>

#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"
#include "gl/RenderTarget.h"
#include "gl/ShaderProgram.h"
#include "support/GlTestContext.h"
#include "support/PixelProbe.h"

namespace tw {
namespace {

const char* kVertex = "#version 120\nvoid main() { gl_Position = gl_Vertex; }\n";
const char* kFragment =
    "#version 120\nuniform vec4 colour;\nvoid main() { gl_FragColor = colour; }\n";
const char* kBroken = "#version 120\nvoid main() { this is not glsl; }\n";
// Compiles on its own, but a program needs a main function to link.
const char* kNoMain = "#version 120\nvec4 unusedHelper() { return vec4(1.0); }\n";

class ShaderProgramTest : public ::testing::Test {
  protected:
    void SetUp() override { test::GlTestContext::ensure(); }
};

GLint attachedStages(const ShaderProgram& program) {
    GLint count = -1;
    glGetObjectParameterivARB(program.handle(), GL_OBJECT_ATTACHED_OBJECTS_ARB, &count);
    return count;
}

// Both stages compile and link: 1, with no log.
TEST_F(ShaderProgramTest, ValidProgramBuilds) {
    ShaderProgram program;
    EXPECT_EQ(program.build(kVertex, kFragment), ShaderProgram::kBuilt);
    EXPECT_TRUE(program.log().empty());
}

// A broken vertex stage gives 2 and the fragment stage is never compiled.
TEST_F(ShaderProgramTest, VertexFailureStopsBeforeTheFragmentStage) {
    ShaderProgram program;
    EXPECT_EQ(program.build(kBroken, kFragment), ShaderProgram::kVertexFailed);
    EXPECT_EQ(attachedStages(program), 1);
    EXPECT_FALSE(program.log().empty()) << "the compiler's log is kept for the error report";
}

// A broken fragment stage gives 3, with the compiler's log.
TEST_F(ShaderProgramTest, FragmentFailureGivesThree) {
    ShaderProgram program;
    EXPECT_EQ(program.build(kVertex, kBroken), ShaderProgram::kFragmentFailed);
    EXPECT_EQ(attachedStages(program), 2);
    EXPECT_FALSE(program.log().empty());
}

// Two stages that compile but cannot link give 4, with the linker's log.
TEST_F(ShaderProgramTest, LinkFailureGivesFour) {
    ShaderProgram program;
    EXPECT_EQ(program.build(kNoMain, kFragment), ShaderProgram::kLinkFailed);
    EXPECT_FALSE(program.log().empty());
}

// Uniforms are found by name on the program in use; unknown names are ignored without error.
TEST_F(ShaderProgramTest, UniformsSetByNameAndUnknownNamesIgnored) {
    ShaderProgram program;
    ASSERT_EQ(program.build(kVertex, kFragment), ShaderProgram::kBuilt);
    RenderTarget target;
    target.resize(8, 8);
    target.begin();
    program.use();
    while (glGetError() != GL_NO_ERROR) {
    }
    program.setUniform1f("notThere", 1.0f);
    program.setUniform2f("notThereEither", 1.0f, 2.0f);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    program.setUniform4f("colour", 0.0f, 1.0f, 0.0f, 1.0f);
    FullscreenQuad::draw();
    program.unuse();
    target.end();
    GLint current = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &current);
    EXPECT_EQ(current, 0);
    const test::Image image = test::readFramebuffer(target.framebuffer(), 8, 8);
    EXPECT_TRUE(test::probeRect(image, 0, 0, 8, 8, {0, 255, 0, 255}, 0));
}

}  // namespace
}  // namespace tw

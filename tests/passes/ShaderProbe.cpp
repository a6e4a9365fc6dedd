#include "ShaderProbe.h"

#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"
#include "passes/SceneShaderSource.h"

namespace tw::test {

ShaderProbe::ShaderProbe(std::initializer_list<const char*> parts,
                         const std::string& vertexSource) {
    const std::string source = joinShaderParts(parts);
    buildResult = program.build(vertexSource.c_str(), source.c_str());
    glGenTextures(1, &colour);
    glGenFramebuffersEXT(1, &fbo);
}

ShaderProbe::~ShaderProbe() {
    glDeleteFramebuffersEXT(1, &fbo);
    glDeleteTextures(1, &colour);
}

::testing::AssertionResult ShaderProbe::built() const {
    if (buildResult == ShaderProgram::kBuilt)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "probe program build result " << buildResult << ":\n"
                                         << program.log();
}

std::vector<float> ShaderProbe::run(int width, int height, float time,
                                    const SceneTextures& textures,
                                    const std::function<void(ShaderProgram&)>& uniforms) {
    if (width != targetWidth || height != targetHeight) {
        glBindTexture(GL_TEXTURE_2D, colour);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, width, height, 0, GL_RGBA, GL_FLOAT, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
        glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D,
                                  colour, 0);
        targetWidth = width;
        targetHeight = height;
    }
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
    glViewport(0, 0, width, height);
    program.use();
    program.setUniform1f("time", time);
    program.setUniform2f("resolution", static_cast<float>(width), static_cast<float>(height));
    // Samplers of different types may not share a unit, so every one gets its scene unit.
    program.setUniform1i("logo", 0);
    program.setUniform1i("fbm", 1);
    program.setUniform1i("checker", 2);
    program.setUniform1i("font", 3);
    program.setUniform1i("scroll", 4);
    const GLuint units2d[4] = {textures.logo, textures.fbm, textures.checker, textures.font};
    for (int unit = 0; unit < 4; ++unit) {
        glActiveTextureARB(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, units2d[unit]);
    }
    glActiveTextureARB(GL_TEXTURE4);
    glBindTexture(GL_TEXTURE_1D, textures.scroll);
    glActiveTextureARB(GL_TEXTURE0);
    if (uniforms)
        uniforms(program);
    FullscreenQuad::draw();
    program.unuse();

    std::vector<float> result(static_cast<size_t>(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_FLOAT, result.data());
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    return result;
}

Vec4 ShaderProbe::runOne(float time, const SceneTextures& textures,
                         const std::function<void(ShaderProgram&)>& uniforms) {
    const std::vector<float> pixel = run(1, 1, time, textures, uniforms);
    return {pixel[0], pixel[1], pixel[2], pixel[3]};
}

GLuint makeTexture2D(int width, int height, const std::vector<float>& rgba) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, width, height, 0, GL_RGBA, GL_FLOAT, rgba.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

GLuint makeUniformTexture(float r, float g, float b, float a) {
    std::vector<float> texels;
    for (int i = 0; i < 4 * 4; ++i)
        texels.insert(texels.end(), {r, g, b, a});
    return makeTexture2D(4, 4, texels);
}

GLuint makeTexture1D(int width, const std::vector<float>& rgb) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_1D, texture);
    glTexImage1D(GL_TEXTURE_1D, 0, GL_RGB32F, width, 0, GL_RGB, GL_FLOAT, rgb.data());
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glBindTexture(GL_TEXTURE_1D, 0);
    return texture;
}

void deleteTexture(GLuint texture) {
    glDeleteTextures(1, &texture);
}

}  // namespace tw::test

// Probe programs for the scene shader's functions: the scene's own GLSL parts with a test entry
// point behind the scene's vertex stage, drawn over a float render target so that results come back
// unrounded.
//
// Construct with a GL context current (GlTestContext::ensure) and the parts to include; check
// built(); then run() once per case with the uniforms and the textures it needs. Textures made
// with makeTexture1D/2D are filled with float texels and never mipmapped (nearest filtering).
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "gl/ShaderProgram.h"
#include "passes/SceneShaderSource.h"

namespace tw::test {

using Vec4 = std::array<float, 4>;

// Texture names for the scene's five sampler units (0: none, which samples as black).
struct SceneTextures {
    GLuint logo = 0;     // unit 0, 2D
    GLuint fbm = 0;      // unit 1, 2D
    GLuint checker = 0;  // unit 2, 2D
    GLuint font = 0;     // unit 3, 2D
    GLuint scroll = 0;   // unit 4, 1D
};

class ShaderProbe {
  public:
    // `parts` are joined like the scene program (later version lines dropped); the last one holds
    // the probe's main(). The vertex stage is the scene's own (varying v and the frame's values)
    // unless `vertexSource` names another.
    explicit ShaderProbe(std::initializer_list<const char*> parts,
                         const std::string& vertexSource = sceneVertexSource());
    ~ShaderProbe();
    ShaderProbe(const ShaderProbe&) = delete;
    ShaderProbe& operator=(const ShaderProbe&) = delete;

    ::testing::AssertionResult built() const;

    // Draws the probe over a width x height RGBA32F target: sets `time`, `resolution` (the target
    // size) and the sampler units, binds `textures`, then calls `uniforms` for the rest. Returns
    // the RGBA floats, rows bottom-up.
    std::vector<float> run(int width, int height, float time, const SceneTextures& textures,
                           const std::function<void(ShaderProgram&)>& uniforms = {});
    // One pixel.
    Vec4 runOne(float time, const SceneTextures& textures,
                const std::function<void(ShaderProgram&)>& uniforms = {});

  private:
    ShaderProgram program;
    int buildResult = 0;
    GLuint fbo = 0;
    GLuint colour = 0;
    int targetWidth = 0;
    int targetHeight = 0;
};

// A float 2D texture from RGBA texels (rows bottom-up), nearest filtering, repeat wrap.
GLuint makeTexture2D(int width, int height, const std::vector<float>& rgba);
// A 2D texture of one colour everywhere.
GLuint makeUniformTexture(float r, float g, float b, float a);
// A float 1D texture from RGB texels, nearest filtering, repeat wrap.
GLuint makeTexture1D(int width, const std::vector<float>& rgb);
void deleteTexture(GLuint texture);

}  // namespace tw::test

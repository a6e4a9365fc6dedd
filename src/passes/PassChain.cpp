#include "passes/PassChain.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <string>

#include "passes/WarmUp.h"
#include "passes/plain/PlainScene.h"

namespace tw {

namespace {

// What the scene program's vertex stage asks of the GL beyond the old minimums (32 varying floats,
// no vertex texture units): its frame varyings take 14 vec4 slots (v, nine spheres, four colours
// and directions) and it reads the fbm texture.
constexpr GLint kSceneVaryingFloats = 56;
constexpr GLint kSceneVertexTextureUnits = 1;

// Empty when the GL reports enough of both; otherwise which limit falls short.
std::string sceneLimitShortfall() {
    struct Limit {
        GLenum name;
        const char* label;
        GLint needed;
    };
    const Limit limits[] = {
        {GL_MAX_VARYING_FLOATS, "GL_MAX_VARYING_FLOATS", kSceneVaryingFloats},
        {GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS, "GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS",
         kSceneVertexTextureUnits},
    };
    for (const Limit& limit : limits) {
        GLint value = 0;
        glGetIntegerv(limit.name, &value);
        if (value < limit.needed)
            return std::string(limit.label) + " is " + std::to_string(value) + ", below " +
                   std::to_string(limit.needed);
    }
    return {};
}

const char* stageName(int result) {
    switch (result) {
        case ShaderProgram::kVertexFailed:
            return "its vertex stage did not compile";
        case ShaderProgram::kFragmentFailed:
            return "its fragment stage did not compile";
        default:
            return "it did not link";
    }
}

}  // namespace

const char* PassChain::failureLine(Pass pass) {
    static const char* const kLines[] = {"Raytracer Shader : ERROR", "FXAA Shader : ERROR",
                                         "PostFX Shader : ERROR"};
    return kLines[static_cast<int>(pass)];
}

PassChain::PassChain(int width, int height) {
    std::string sceneLog;  // the scene program's, kept beside the plain one's if that fails too
    const std::string shortfall = sceneLimitShortfall();
    if (shortfall.empty()) {
        scene = std::make_unique<ScenePass>(width, height);
        if (scene->buildResult() != ShaderProgram::kBuilt) {
            fallbackReason = std::string("scene program: ") + stageName(scene->buildResult());
            sceneLog = scene->buildLog();
        }
    } else {
        fallbackReason = "scene program: " + shortfall;
    }
    if (!fallbackReason.empty()) {
        fallbackReason += "; using the plain scene program";
        scene = std::make_unique<ScenePass>(width, height, plainSceneProgramSource());
        if (scene->buildResult() != ShaderProgram::kBuilt) {
            failed = Failure{Pass::kScene, scene->buildResult(), sceneLog + scene->buildLog()};
            return;
        }
    }

    fxaa = std::make_unique<FxaaPass>(width, height, scene.get(), scene->frameTiles());
    if (fxaa->buildResult() != ShaderProgram::kBuilt) {
        failed = Failure{Pass::kFxaa, fxaa->buildResult(), fxaa->buildLog()};
        return;
    }
    postFx = std::make_unique<PostFxPass>(width, height, fxaa.get());
    if (postFx->buildResult() != ShaderProgram::kBuilt)
        failed = Failure{Pass::kPostFx, postFx->buildResult(), postFx->buildLog()};
}

void PassChain::warmUp() {
    scene->warmUp();
    drawOnOnePixel([this] {
        fxaa->warmUp();
        postFx->render(0.f);
    });
}

void PassChain::resize(int width, int height) {
    scene->resize(width, height);
    fxaa->resize(width, height);
    postFx->resize(width, height);
}

void PassChain::render(float time) {
    scene->render(time);
    fxaa->render(time);
    postFx->render(time);
}

}  // namespace tw

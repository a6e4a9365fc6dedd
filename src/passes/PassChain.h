// The intro's three passes in drawing order: the ray-traced scene, anti-aliasing over it, then the
// colour fringe and vignette over that. Owned by the FrameDriver, which every program draws with.
//
// Construct after TextureBank::build() with the rendering size. It builds the scene program, then
// FXAA, then the post effect, and stops at the first that fails: failure() then says which, and
// nothing may render. Where the GL's limits are below what the scene program needs, or that
// program does not build, the plain scene program is built in its place and sceneFallback() says
// why. warmUp() once before the frames are timed; per frame render(time); resize() when the
// rendering size changes; output() holds the finished frame. Destroy while the context is
// current. GL contract: that of PostFxPass after render() and warmUp(), with the scissor test off.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "passes/FxaaPass.h"
#include "passes/PostFxPass.h"
#include "passes/ScenePass.h"

namespace tw {

class PassChain {
  public:
    enum class Pass { kScene, kFxaa, kPostFx };

    struct Failure {
        Pass pass;
        int result;       // ShaderProgram's result code
        std::string log;  // compiler or linker log (both scene programs' when both failed)
    };

    // The pass's fixed start-up line ("Raytracer Shader : ERROR", ...), one table for every
    // program that builds the chain.
    static const char* failureLine(Pass pass);

    PassChain(int width, int height);
    PassChain(const PassChain&) = delete;
    PassChain& operator=(const PassChain&) = delete;

    // Null when all three passes are built.
    const Failure* failure() const { return failed ? &*failed : nullptr; }
    // Empty while the scene program runs; otherwise one line saying why its fallback runs.
    const std::string& sceneFallback() const { return fallbackReason; }

    // Every program of the chain drawn once, on one pixel (drawOnOnePixel()).
    void warmUp();
    void resize(int width, int height);
    void render(float time);
    const RenderTarget& output() const { return *postFx; }

  private:
    std::unique_ptr<ScenePass> scene;
    std::unique_ptr<FxaaPass> fxaa;
    std::unique_ptr<PostFxPass> postFx;
    std::optional<Failure> failed;
    std::string fallbackReason;
};

}  // namespace tw

// An off-screen drawing surface: a framebuffer object rendering into a colour texture, with a
// depth renderbuffer (unless constructed with Depth::kNone) and a depth texture of the same size.
//
// Construct with a context current and the extension table loaded (320x240); resize() to the
// wanted size; per frame begin(), draw, end(). end() restores the screen-size viewport from the
// TextureBank and binds framebuffer 0. resize() keeps every GL name and re-attaches both images.
// Both builds compile this file; on the browser side, which has no matrix stack, its
// glPushMatrix/glPopMatrix calls reach do-nothing stubs (web/src/GlExtensionTable.cpp).
#pragma once

#include <GL/gl.h>

namespace tw {

class RenderTarget {
  public:
    // kNone for a pass that never tests depth: llvmpipe draws into a framebuffer without a depth
    // buffer in fewer instructions.
    enum class Depth { kBuffer, kNone };

    explicit RenderTarget(Depth depth = Depth::kBuffer);
    ~RenderTarget();
    RenderTarget(const RenderTarget&) = delete;
    RenderTarget& operator=(const RenderTarget&) = delete;

    void begin();
    void end();
    void resize(int width, int height);

    GLuint colorTexture() const { return colorTex; }
    // Part of the target's fixed layout; nothing samples it.
    GLuint depthTexture() const { return depthTex; }
    GLuint framebuffer() const { return fbo; }
    int getWidth() const { return width; }

  private:
    void allocateTextures();
    void allocateDepthAndAttach();

    GLuint fbo = 0;
    GLuint rbo = 0;
    GLuint colorTex = 0;
    GLuint depthTex = 0;  // part of the target's fixed layout, sized with it; nothing samples it
    bool depthBuffer;

  protected:
    // The passes read their size every frame (uniforms, viewport).
    int width = 320;
    int height = 240;
};

// The largest side a render target, its depth buffer and the viewport all accept; a context
// current. What the recorder's --size and the page's size= may ask for.
int maxRenderSize();

}  // namespace tw

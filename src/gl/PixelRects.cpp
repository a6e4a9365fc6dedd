#include "gl/PixelRects.h"

#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"

namespace tw {

namespace {

// Two triangles a rectangle, as GL_TRIANGLES.
constexpr int kVerticesPerRect = 6;

}  // namespace

PixelRects::PixelRects() {
    glGenBuffersARB(1, &buffer);
}

PixelRects::~PixelRects() {
    glDeleteBuffersARB(1, &buffer);
}

void PixelRects::add(int x, int y, int width, int height) {
    if (width <= 0 || height <= 0)
        return;
    rects.insert(rects.end(), {x, y, width, height});
}

void PixelRects::draw(int targetWidth, int targetHeight) {
    if (rects.empty())
        return;
    const size_t count = rects.size() / 4 * kVerticesPerRect;
    // Positions for every vertex, then texture coordinates: the quad's layout.
    vertices.resize(4 * count);
    GLfloat* position = vertices.data();
    GLfloat* texCoord = position + 2 * count;
    const float w = static_cast<float>(targetWidth), h = static_cast<float>(targetHeight);
    for (size_t i = 0; i < rects.size(); i += 4) {
        // Corners in texture coordinates (0..1): the same formula for every rectangle, so that
        // neighbours share their edges exactly and no pixel is drawn twice or left out.
        const float u0 = static_cast<float>(rects[i]) / w;
        const float u1 = static_cast<float>(rects[i] + rects[i + 2]) / w;
        const float v0 = static_cast<float>(rects[i + 1]) / h;
        const float v1 = static_cast<float>(rects[i + 1] + rects[i + 3]) / h;
        const GLfloat corners[kVerticesPerRect][2] = {{u0, v0}, {u1, v0}, {u0, v1},
                                                      {u0, v1}, {u1, v0}, {u1, v1}};
        for (const auto& corner : corners) {
            *texCoord++ = corner[0];
            *texCoord++ = corner[1];
            *position++ = corner[0] * 2.f - 1.f;
            *position++ = corner[1] * 2.f - 1.f;
        }
    }
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, buffer);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB,
                    static_cast<GLsizeiptrARB>(vertices.size() * sizeof(GLfloat)), vertices.data(),
                    GL_STREAM_DRAW_ARB);
    FullscreenQuad::drawBuffer(buffer, GL_TRIANGLES, static_cast<GLsizei>(count),
                               2 * count * sizeof(GLfloat));
}

}  // namespace tw

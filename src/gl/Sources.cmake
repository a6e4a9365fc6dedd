# src/gl's sources for both builds, the desktop's (CMakeLists.txt here) and the browser's
# (web/CMakeLists.txt), as absolute paths:
#   TW_GL_SHARED    compiled by both
#   TW_GL_DESKTOP   the desktop's side of the seams; the browser build links its own from web/src
#                   (GlContext, GlExtensionTable, FullscreenQuadDraw, TextureUpload) or has none
#                   (OffscreenContext, for the recorder and the tools; MipmapChain, where the
#                   browser's GL builds mipmaps itself)
set(TW_GL_SHARED
    FullscreenQuad.cpp GlEntryPoints.cpp PixelRects.cpp RenderTarget.cpp ShaderLog.cpp
    ShaderProgram.cpp Texture.cpp Timer.cpp)
set(TW_GL_DESKTOP
    GlContext.cpp GlExtensionTable.cpp OffscreenContext.cpp FullscreenQuadDraw.cpp MipmapChain.cpp
    TextureUpload.cpp)
list(TRANSFORM TW_GL_SHARED PREPEND ${CMAKE_CURRENT_LIST_DIR}/)
list(TRANSFORM TW_GL_DESKTOP PREPEND ${CMAKE_CURRENT_LIST_DIR}/)

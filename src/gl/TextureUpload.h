// The texture uploads whose GL calls differ between desktop GL and WebGL 2. The texture bank
// decides what goes into which texture and how it is filtered; these say how it gets there.
//
// Each acts on the texture bound to the active unit; the caller binds before and unbinds after.
// This file's desktop side is TextureUpload.cpp; the browser build links its own (web/src).
#pragma once

#include <GL/gl.h>

namespace tw {

// Level 0 of the bound GL_TEXTURE_2D from `format` bytes (GL_RGBA or GL_LUMINANCE), with the
// whole mipmap chain built from it by the GL.
void uploadMipmapped2D(GLsizei width, GLsizei height, GLenum format, const void* pixels);

// The target of a row of texels addressed by one coordinate: GL_TEXTURE_1D on the desktop, a
// one-texel-high GL_TEXTURE_2D where 1D textures do not exist (the shaders' prelude agrees).
GLenum texelRowTarget();

// Level 0 of the bound texel row: `count` texels of three floats (red, green, blue).
void uploadTexelRow(GLsizei count, const float* rgb);

// Level 0 of the bound GL_TEXTURE_2D as 8-bit RGBA to draw into, contents undefined.
void allocateColorTexture(GLsizei width, GLsizei height);

// Level 0 of the bound GL_TEXTURE_2D as 24-bit depth, contents undefined.
void allocateDepthTexture(GLsizei width, GLsizei height);

// The finest filter the GL allows on such a depth texture.
GLint depthTextureFilter();

}  // namespace tw

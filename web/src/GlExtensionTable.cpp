// The browser's side of gl/GlExtensionTable.cpp: fills the table's pointers (gl/GlEntryPoints.cpp)
// with WebGL 2's own functions, which the GL names of the desktop's extensions map onto one for
// one, as gl/GlEntryPointList.h pairs them. Shader sources pass through the dialect prelude on
// their way in, and an unsized depth renderbuffer gets the sized format WebGL 2 insists on. The
// entry points WebGL 2 has no counterpart for (glProgramParameteriEXT, glPointParameterf[v]) stay
// null; nothing calls them.
#define GL_GLEXT_PROTOTYPES
#include "gl/GlExtensionTable.h"

#include <string>

#include "ShaderDialect.h"

namespace tw {

namespace {

GLhandleARB createProgram() {
    return ::glCreateProgram();
}

GLhandleARB createShader(GLenum type) {
    return ::glCreateShader(type);
}

// Shader and program names come from one counter in the browser's GL layer, so a name alone
// says which kind of object it is.
void deleteObject(GLhandleARB object) {
    if (::glIsShader(object))
        ::glDeleteShader(object);
    else
        ::glDeleteProgram(object);
}

void objectParameter(GLhandleARB object, GLenum name, GLint* value) {
    if (::glIsShader(object))
        ::glGetShaderiv(object, name, value);
    else
        ::glGetProgramiv(object, name, value);
}

void infoLog(GLhandleARB object, GLsizei capacity, GLsizei* length, GLcharARB* text) {
    if (::glIsShader(object))
        ::glGetShaderInfoLog(object, capacity, length, text);
    else
        ::glGetProgramInfoLog(object, capacity, length, text);
}

void shaderSource(GLhandleARB shader, GLsizei count, const GLcharARB** parts,
                  const GLint* lengths) {
    std::string source;
    for (GLsizei i = 0; i < count; ++i)
        source += lengths != nullptr && lengths[i] >= 0 ? std::string(parts[i], lengths[i])
                                                        : std::string(parts[i]);
    GLint type = 0;
    ::glGetShaderiv(shader, GL_SHADER_TYPE, &type);
    const std::string adapted = toEssl300(source, type == GL_VERTEX_SHADER);
    const char* text = adapted.c_str();
    ::glShaderSource(shader, 1, &text, nullptr);
}

// The 24 bits desktop drivers give an unsized depth request.
void renderbufferStorage(GLenum target, GLenum format, GLsizei width, GLsizei height) {
    ::glRenderbufferStorage(target, format == GL_DEPTH_COMPONENT ? GL_DEPTH_COMPONENT24 : format,
                            width, height);
}

}  // namespace

bool loadGlExtensions() {
#define TW_GL_ENTRY(type, name, webgl) name = webgl;
#define TW_GL_OPTIONAL_ENTRY TW_GL_ENTRY
#include "gl/GlEntryPointList.h"
    return true;
}

}  // namespace tw

// WebGL 2 has no matrix stack. The render target both builds share pushes and pops one around
// each pass; nothing in the browser reads matrices, so there is nothing to save.
void glPushMatrix() {}
void glPopMatrix() {}

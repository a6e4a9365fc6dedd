#include "gl/GlExtensionTable.h"

#include <GL/glx.h>

namespace tw {

const char GlExtensionTable[kGlExtensionCount][kGlExtensionSlotBytes] = {
    "glCreateProgramObjectARB",
    "glCreateShaderObjectARB",
    "glShaderSourceARB",
    "glCompileShaderARB",
    "glAttachObjectARB",
    "glLinkProgramARB",
    "glUseProgramObjectARB",
    "glDeleteObjectARB",
    "glGetUniformLocationARB",
    "glProgramParameteriEXT",
    "glUniform1iARB",
    "glUniform2iARB",
    "glUniform1fARB",
    "glUniform2fARB",
    "glUniform3fARB",
    "glUniform4fARB",
    "glGenFramebuffersEXT",
    "glGenRenderbuffersEXT",
    "glBindFramebufferEXT",
    "glBindRenderbufferEXT",
    "glDeleteFramebuffersEXT",
    "glDeleteRenderbuffersEXT",
    "glRenderbufferStorageEXT",
    "glFramebufferRenderbufferEXT",
    "glFramebufferTexture2DEXT",
    "glGenBuffersARB",
    "glDeleteBuffersARB",
    "glBindBufferARB",
    "glBufferDataARB",
    "glBufferSubDataARB",
    "glTexImage3D",
    "glActiveTextureARB",
    "glGetObjectParameterivARB",
    "glPointParameterfv",
    "glPointParameterf",
};

namespace {

// Each slot's pointer, in table order, so the look-up can run as one loop over the names.
void** const slots[kGlExtensionCount] = {
    reinterpret_cast<void**>(&glCreateProgramObjectARB),
    reinterpret_cast<void**>(&glCreateShaderObjectARB),
    reinterpret_cast<void**>(&glShaderSourceARB),
    reinterpret_cast<void**>(&glCompileShaderARB),
    reinterpret_cast<void**>(&glAttachObjectARB),
    reinterpret_cast<void**>(&glLinkProgramARB),
    reinterpret_cast<void**>(&glUseProgramObjectARB),
    reinterpret_cast<void**>(&glDeleteObjectARB),
    reinterpret_cast<void**>(&glGetUniformLocationARB),
    reinterpret_cast<void**>(&glProgramParameteriEXT),
    reinterpret_cast<void**>(&glUniform1iARB),
    reinterpret_cast<void**>(&glUniform2iARB),
    reinterpret_cast<void**>(&glUniform1fARB),
    reinterpret_cast<void**>(&glUniform2fARB),
    reinterpret_cast<void**>(&glUniform3fARB),
    reinterpret_cast<void**>(&glUniform4fARB),
    reinterpret_cast<void**>(&glGenFramebuffersEXT),
    reinterpret_cast<void**>(&glGenRenderbuffersEXT),
    reinterpret_cast<void**>(&glBindFramebufferEXT),
    reinterpret_cast<void**>(&glBindRenderbufferEXT),
    reinterpret_cast<void**>(&glDeleteFramebuffersEXT),
    reinterpret_cast<void**>(&glDeleteRenderbuffersEXT),
    reinterpret_cast<void**>(&glRenderbufferStorageEXT),
    reinterpret_cast<void**>(&glFramebufferRenderbufferEXT),
    reinterpret_cast<void**>(&glFramebufferTexture2DEXT),
    reinterpret_cast<void**>(&glGenBuffersARB),
    reinterpret_cast<void**>(&glDeleteBuffersARB),
    reinterpret_cast<void**>(&glBindBufferARB),
    reinterpret_cast<void**>(&glBufferDataARB),
    reinterpret_cast<void**>(&glBufferSubDataARB),
    reinterpret_cast<void**>(&glTexImage3D),
    reinterpret_cast<void**>(&glActiveTextureARB),
    reinterpret_cast<void**>(&glGetObjectParameterivARB),
    reinterpret_cast<void**>(&glPointParameterfv),
    reinterpret_cast<void**>(&glPointParameterf),
};

void* glxResolve(const char* name) {
    return reinterpret_cast<void*>(glXGetProcAddress(reinterpret_cast<const GLubyte*>(name)));
}

}  // namespace

bool loadGlExtensions() {
    return loadGlExtensions(glxResolve);
}

bool loadGlExtensions(GlResolver resolve) {
    for (int i = 0; i < kGlExtensionCount; ++i)
        *slots[i] = nullptr;
    for (int i = 0; i < kGlExtensionCount; ++i) {
        *slots[i] = resolve(GlExtensionTable[i]);
        if (*slots[i] == nullptr)
            return false;
    }
    glGetInfoLogARB = reinterpret_cast<PFNGLGETINFOLOGARBPROC>(resolve("glGetInfoLogARB"));
    return true;
}

void* glExtensionPointer(int slot) {
    return *slots[slot];
}

}  // namespace tw

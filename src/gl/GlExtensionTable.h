// The GL entry points beyond the base library, resolved by name once at start-up.
//
// Call loadGlExtensions() once with a GL context current; it returns false at the first name the
// resolver cannot find. Afterwards every part of the system calls glCreateProgramObjectARB,
// glBindFramebufferEXT and the rest under their GL names: inside namespace tw these names are the
// pointers declared here, not the library's own exports.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

namespace tw {

// Looks up one entry point by name; null when the implementation lacks it.
using GlResolver = void* (*)(const char* name);

constexpr int kGlExtensionCount = 35;
constexpr int kGlExtensionSlotBytes = 29;  // longest name (28 characters) plus its terminator

// The 35 names in fixed slots of 29 bytes, in look-up order.
extern const char GlExtensionTable[kGlExtensionCount][kGlExtensionSlotBytes];

// Resolves all 35 entry points in order; stops at the first one the resolver cannot find,
// leaving it and every later pointer null. The default resolver is glXGetProcAddress.
bool loadGlExtensions();
bool loadGlExtensions(GlResolver resolve);

// The resolved pointer of slot i (null before the look-up or when it failed at or before i).
void* glExtensionPointer(int slot);

extern PFNGLCREATEPROGRAMOBJECTARBPROC glCreateProgramObjectARB;
extern PFNGLCREATESHADEROBJECTARBPROC glCreateShaderObjectARB;
extern PFNGLSHADERSOURCEARBPROC glShaderSourceARB;
extern PFNGLCOMPILESHADERARBPROC glCompileShaderARB;
extern PFNGLATTACHOBJECTARBPROC glAttachObjectARB;
extern PFNGLLINKPROGRAMARBPROC glLinkProgramARB;
extern PFNGLUSEPROGRAMOBJECTARBPROC glUseProgramObjectARB;
extern PFNGLDELETEOBJECTARBPROC glDeleteObjectARB;
extern PFNGLGETUNIFORMLOCATIONARBPROC glGetUniformLocationARB;
extern PFNGLPROGRAMPARAMETERIEXTPROC glProgramParameteriEXT;
extern PFNGLUNIFORM1IARBPROC glUniform1iARB;
extern PFNGLUNIFORM2IARBPROC glUniform2iARB;
extern PFNGLUNIFORM1FARBPROC glUniform1fARB;
extern PFNGLUNIFORM2FARBPROC glUniform2fARB;
extern PFNGLUNIFORM3FARBPROC glUniform3fARB;
extern PFNGLUNIFORM4FARBPROC glUniform4fARB;
extern PFNGLGENFRAMEBUFFERSEXTPROC glGenFramebuffersEXT;
extern PFNGLGENRENDERBUFFERSEXTPROC glGenRenderbuffersEXT;
extern PFNGLBINDFRAMEBUFFEREXTPROC glBindFramebufferEXT;
extern PFNGLBINDRENDERBUFFEREXTPROC glBindRenderbufferEXT;
extern PFNGLDELETEFRAMEBUFFERSEXTPROC glDeleteFramebuffersEXT;
extern PFNGLDELETERENDERBUFFERSEXTPROC glDeleteRenderbuffersEXT;
extern PFNGLRENDERBUFFERSTORAGEEXTPROC glRenderbufferStorageEXT;
extern PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC glFramebufferRenderbufferEXT;
extern PFNGLFRAMEBUFFERTEXTURE2DEXTPROC glFramebufferTexture2DEXT;
extern PFNGLGENBUFFERSARBPROC glGenBuffersARB;
extern PFNGLDELETEBUFFERSARBPROC glDeleteBuffersARB;
extern PFNGLBINDBUFFERARBPROC glBindBufferARB;
extern PFNGLBUFFERDATAARBPROC glBufferDataARB;
extern PFNGLBUFFERSUBDATAARBPROC glBufferSubDataARB;
extern PFNGLTEXIMAGE3DPROC glTexImage3D;
extern PFNGLACTIVETEXTUREARBPROC glActiveTextureARB;
extern PFNGLGETOBJECTPARAMETERIVARBPROC glGetObjectParameterivARB;
extern PFNGLPOINTPARAMETERFVPROC glPointParameterfv;
extern PFNGLPOINTPARAMETERFPROC glPointParameterf;

// Not one of the 35: looked up after them only to show compiler and linker logs on failure.
// Null when the implementation lacks it; nothing else depends on it.
extern PFNGLGETINFOLOGARBPROC glGetInfoLogARB;

}  // namespace tw

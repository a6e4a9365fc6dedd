// The GL entry points beyond the base library, in look-up order, one line each: the one list that
// GlExtensionTable.h declares, GlEntryPoints.cpp defines, GlExtensionTable.cpp looks up by
// name and web/src/GlExtensionTable.cpp fills with WebGL 2's functions.
//
// No include guard: define TW_GL_ENTRY(type, name, webgl) before each inclusion, and
// TW_GL_OPTIONAL_ENTRY likewise to get the entry points that follow the table. `webgl` is the
// browser's function for the name (nullptr where WebGL 2 has none; nothing calls those there).
// Both macros are undefined at the end.
TW_GL_ENTRY(PFNGLCREATEPROGRAMOBJECTARBPROC, glCreateProgramObjectARB, createProgram)
TW_GL_ENTRY(PFNGLCREATESHADEROBJECTARBPROC, glCreateShaderObjectARB, createShader)
TW_GL_ENTRY(PFNGLSHADERSOURCEARBPROC, glShaderSourceARB, shaderSource)
TW_GL_ENTRY(PFNGLCOMPILESHADERARBPROC, glCompileShaderARB, ::glCompileShader)
TW_GL_ENTRY(PFNGLATTACHOBJECTARBPROC, glAttachObjectARB, ::glAttachShader)
TW_GL_ENTRY(PFNGLLINKPROGRAMARBPROC, glLinkProgramARB, ::glLinkProgram)
TW_GL_ENTRY(PFNGLUSEPROGRAMOBJECTARBPROC, glUseProgramObjectARB, ::glUseProgram)
TW_GL_ENTRY(PFNGLDELETEOBJECTARBPROC, glDeleteObjectARB, deleteObject)
TW_GL_ENTRY(PFNGLGETUNIFORMLOCATIONARBPROC, glGetUniformLocationARB, ::glGetUniformLocation)
TW_GL_ENTRY(PFNGLPROGRAMPARAMETERIEXTPROC, glProgramParameteriEXT, nullptr)
TW_GL_ENTRY(PFNGLUNIFORM1IARBPROC, glUniform1iARB, ::glUniform1i)
TW_GL_ENTRY(PFNGLUNIFORM2IARBPROC, glUniform2iARB, ::glUniform2i)
TW_GL_ENTRY(PFNGLUNIFORM1FARBPROC, glUniform1fARB, ::glUniform1f)
TW_GL_ENTRY(PFNGLUNIFORM2FARBPROC, glUniform2fARB, ::glUniform2f)
TW_GL_ENTRY(PFNGLUNIFORM3FARBPROC, glUniform3fARB, ::glUniform3f)
TW_GL_ENTRY(PFNGLUNIFORM4FARBPROC, glUniform4fARB, ::glUniform4f)
TW_GL_ENTRY(PFNGLGENFRAMEBUFFERSEXTPROC, glGenFramebuffersEXT, ::glGenFramebuffers)
TW_GL_ENTRY(PFNGLGENRENDERBUFFERSEXTPROC, glGenRenderbuffersEXT, ::glGenRenderbuffers)
TW_GL_ENTRY(PFNGLBINDFRAMEBUFFEREXTPROC, glBindFramebufferEXT, ::glBindFramebuffer)
TW_GL_ENTRY(PFNGLBINDRENDERBUFFEREXTPROC, glBindRenderbufferEXT, ::glBindRenderbuffer)
TW_GL_ENTRY(PFNGLDELETEFRAMEBUFFERSEXTPROC, glDeleteFramebuffersEXT, ::glDeleteFramebuffers)
TW_GL_ENTRY(PFNGLDELETERENDERBUFFERSEXTPROC, glDeleteRenderbuffersEXT, ::glDeleteRenderbuffers)
TW_GL_ENTRY(PFNGLRENDERBUFFERSTORAGEEXTPROC, glRenderbufferStorageEXT, renderbufferStorage)
TW_GL_ENTRY(PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC, glFramebufferRenderbufferEXT,
            ::glFramebufferRenderbuffer)
TW_GL_ENTRY(PFNGLFRAMEBUFFERTEXTURE2DEXTPROC, glFramebufferTexture2DEXT, ::glFramebufferTexture2D)
TW_GL_ENTRY(PFNGLGENBUFFERSARBPROC, glGenBuffersARB, ::glGenBuffers)
TW_GL_ENTRY(PFNGLDELETEBUFFERSARBPROC, glDeleteBuffersARB, ::glDeleteBuffers)
TW_GL_ENTRY(PFNGLBINDBUFFERARBPROC, glBindBufferARB, ::glBindBuffer)
TW_GL_ENTRY(PFNGLBUFFERDATAARBPROC, glBufferDataARB, ::glBufferData)
TW_GL_ENTRY(PFNGLBUFFERSUBDATAARBPROC, glBufferSubDataARB, ::glBufferSubData)
TW_GL_ENTRY(PFNGLTEXIMAGE3DPROC, glTexImage3D, ::glTexImage3D)
TW_GL_ENTRY(PFNGLACTIVETEXTUREARBPROC, glActiveTextureARB, ::glActiveTexture)
TW_GL_ENTRY(PFNGLGETOBJECTPARAMETERIVARBPROC, glGetObjectParameterivARB, objectParameter)
TW_GL_ENTRY(PFNGLPOINTPARAMETERFVPROC, glPointParameterfv, nullptr)
TW_GL_ENTRY(PFNGLPOINTPARAMETERFPROC, glPointParameterf, nullptr)

// Not the table's: looked up after it, and null where the implementation lacks them. The info
// log shows compiler and linker logs on failure; the sampler objects let the filters read texel
// centres without bilinear filtering, which changes no value there and costs llvmpipe far less;
// scissor arrays and instanced draws let the scene clip the quad to up to 16 boxes in one draw
// (WebGL 2 has no scissor arrays).
#ifdef TW_GL_OPTIONAL_ENTRY
TW_GL_OPTIONAL_ENTRY(PFNGLGETINFOLOGARBPROC, glGetInfoLogARB, infoLog)
TW_GL_OPTIONAL_ENTRY(PFNGLGENSAMPLERSPROC, glGenSamplers, ::glGenSamplers)
TW_GL_OPTIONAL_ENTRY(PFNGLDELETESAMPLERSPROC, glDeleteSamplers, ::glDeleteSamplers)
TW_GL_OPTIONAL_ENTRY(PFNGLSAMPLERPARAMETERIPROC, glSamplerParameteri, ::glSamplerParameteri)
TW_GL_OPTIONAL_ENTRY(PFNGLBINDSAMPLERPROC, glBindSampler, ::glBindSampler)
TW_GL_OPTIONAL_ENTRY(PFNGLSCISSORARRAYVPROC, glScissorArrayv, nullptr)
TW_GL_OPTIONAL_ENTRY(PFNGLDRAWARRAYSINSTANCEDARBPROC, glDrawArraysInstancedARB,
                     ::glDrawArraysInstanced)
#undef TW_GL_OPTIONAL_ENTRY
#endif
#undef TW_GL_ENTRY

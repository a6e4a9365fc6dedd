#include "gl/ShaderProgram.h"

#include <vector>

#include "gl/GlExtensionTable.h"
#include "gl/ShaderLog.h"

namespace tw {

namespace {

std::string infoLog(GLhandleARB object) {
    if (glGetInfoLogARB == nullptr)
        return {};
    GLint length = 0;
    glGetObjectParameterivARB(object, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
    if (length <= 1)
        return {};
    std::vector<GLcharARB> text(static_cast<size_t>(length));
    glGetInfoLogARB(object, length, nullptr, text.data());
    return std::string(text.data());
}

long builds = 0;
long firstUses = 0;

}  // namespace

long ShaderProgram::buildCount() {
    return builds;
}

long ShaderProgram::firstUseCount() {
    return firstUses;
}

int ShaderProgram::build(const char* vertexSource, const char* fragmentSource) {
    ++builds;
    used = false;
    failureLog.clear();
    // A second build replaces the first program (ScenePass tries a stage the GL may lack first).
    if (program != 0)
        glDeleteObjectARB(program);
    program = glCreateProgramObjectARB();
    if (!addShader(vertexSource, GL_VERTEX_SHADER_ARB))
        return kVertexFailed;
    if (!addShader(fragmentSource, GL_FRAGMENT_SHADER_ARB))
        return kFragmentFailed;
    glLinkProgramARB(program);
    // Two stages that compile can still fail to link together (an unmatched varying, say);
    // such a program would draw nothing, so it counts as a failure.
    GLint linked = 0;
    glGetObjectParameterivARB(program, GL_OBJECT_LINK_STATUS_ARB, &linked);
    if (linked == 0) {
        failureLog = infoLog(program);
        return kLinkFailed;
    }
    return kBuilt;
}

bool ShaderProgram::addShader(const char* source, GLenum type) {
    GLhandleARB shader = glCreateShaderObjectARB(type);
    glShaderSourceARB(shader, 1, &source, nullptr);
    glCompileShaderARB(shader);
    GLint status = 0;
    glGetObjectParameterivARB(shader, GL_OBJECT_COMPILE_STATUS_ARB, &status);
    if (status == 0)
        failureLog = withPartNames(infoLog(shader), source);
    glAttachObjectARB(program, shader);
    // Only flags it: the attached shader lives on with the program.
    glDeleteObjectARB(shader);
    return status != 0;
}

void ShaderProgram::use() {
    if (!used) {
        used = true;
        ++firstUses;
    }
    glUseProgramObjectARB(program);
}

void ShaderProgram::unuse() {
    glUseProgramObjectARB(0);
}

void ShaderProgram::setUniform1i(const char* name, int x) {
    glUniform1iARB(glGetUniformLocationARB(program, name), x);
}

void ShaderProgram::setUniform2i(const char* name, int x, int y) {
    glUniform2iARB(glGetUniformLocationARB(program, name), x, y);
}

void ShaderProgram::setUniform1f(const char* name, float x) {
    glUniform1fARB(glGetUniformLocationARB(program, name), x);
}

void ShaderProgram::setUniform2f(const char* name, float x, float y) {
    glUniform2fARB(glGetUniformLocationARB(program, name), x, y);
}

void ShaderProgram::setUniform3f(const char* name, float x, float y, float z) {
    glUniform3fARB(glGetUniformLocationARB(program, name), x, y, z);
}

void ShaderProgram::setUniform4f(const char* name, float x, float y, float z, float w) {
    glUniform4fARB(glGetUniformLocationARB(program, name), x, y, z, w);
}

}  // namespace tw

// A GLSL program linked from one vertex and one fragment source, with uniform setters by name.
//
// Construct (no GL work), then build() with a context current and the extension table loaded
// (building again replaces the program); per frame use(), set uniforms, draw, unuse(). The program
// object lives as long as the context. Setters act on the program in use and look the location up
// on every call; a name that is not an active uniform is silently ignored by GL.
#pragma once

#include <GL/gl.h>
#include <GL/glext.h>

#include <string>

namespace tw {

class ShaderProgram {
  public:
    // Results of build().
    static constexpr int kBuilt = 1;
    static constexpr int kVertexFailed = 2;
    static constexpr int kFragmentFailed = 3;
    static constexpr int kLinkFailed = 4;

    // Compiles both stages and links; stops at the first stage that fails. Any result but kBuilt
    // is fatal to the caller, which then shows log() on standard error.
    int build(const char* vertexSource, const char* fragmentSource);

    void use();
    void unuse();

    void setUniform1i(const char* name, int x);
    // Part of the program's fixed layout of setters; no pass calls it.
    void setUniform2i(const char* name, int x, int y);
    void setUniform1f(const char* name, float x);
    void setUniform2f(const char* name, float x, float y);
    // Both part of the program's fixed layout of setters; no pass calls them.
    void setUniform3f(const char* name, float x, float y, float z);
    void setUniform4f(const char* name, float x, float y, float z, float w);

    // Builds started and programs drawn with for the first time (their first use()) in this
    // process: a driver may compile at either, so the frame loop checks that neither happens
    // once its clock runs.
    static long buildCount();
    static long firstUseCount();

    // The compiler or linker log of the step that failed (empty after a successful build); after a
    // compile log, the stage's table of its parts' source numbers, where it has one.
    const std::string& log() const { return failureLog; }

  private:
    // Compiles one stage and attaches it (also when it failed); true when it compiled.
    bool addShader(const char* source, GLenum type);

    GLhandleARB program = 0;
    std::string failureLog;
    bool used = false;
};

}  // namespace tw

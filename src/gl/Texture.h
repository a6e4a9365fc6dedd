// A GL texture name with its target and the texture unit it was last bound to.
//
// Construct with a GL context current (generates the name); the owner fills it with
// glTexImage*/glTexParameteri between bind() and unbind(); the destructor deletes the name.
// bind() and unbind() leave their unit active: they never restore the previous one.
#pragma once

#include <GL/gl.h>

namespace tw {

class Texture {
  public:
    Texture();
    ~Texture();
    Texture(const Texture&) = delete;
    Texture& operator=(const Texture&) = delete;

    // A fresh name, the old one having died with its context (the browser's lost context).
    void renew();
    void setTarget(GLenum target) { this->target = target; }
    void bind(int unit);
    void unbind();

  private:
    GLenum target;
    GLuint id;
    int unit;
};

}  // namespace tw

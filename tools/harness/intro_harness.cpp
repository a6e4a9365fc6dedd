// The intro's entry point with test hooks: a GL resolver that lacks one entry point, a report of
// every presented frame on standard error, and an end after some seconds of scene time as if
// Escape were pressed. Everything else is the real Intro.
//   intro_harness [--missing NAME] [--trace] [--until SECONDS]
#include <GL/glx.h>
#include <GLFW/glfw3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/Intro.h"
#include "gl/FullscreenQuad.h"

namespace {

std::string missingName;

void* resolveAllBut(const char* name) {
    if (missingName == name)
        return nullptr;
    return reinterpret_cast<void*>(glXGetProcAddress(reinterpret_cast<const GLubyte*>(name)));
}

// Shows at exit how far start-up got: the quad buffer exists only after the extension table.
void reportQuad() {
    std::fprintf(stderr, "quad buffer %u\n", tw::FullscreenQuad::buffer());
}

}  // namespace

int main(int argc, char** argv) {
    bool trace = false;
    double until = -1.0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--missing") == 0 && i + 1 < argc) {
            missingName = argv[++i];
        } else if (std::strcmp(argv[i], "--trace") == 0) {
            trace = true;
        } else if (std::strcmp(argv[i], "--until") == 0 && i + 1 < argc) {
            until = std::atof(argv[++i]);
        }
    }
    std::atexit(reportQuad);

    const tw::RenderSize screen = tw::Intro::startWindowSystem();
    tw::Intro intro(screen.width, screen.height, missingName.empty() ? nullptr : resolveAllBut);
    if (trace || until >= 0.0) {
        intro.setFrameObserver([trace, until](const tw::FrameReport& r) {
            if (trace)
                std::fprintf(stderr, "frame %d time %.6f size %dx%d late builds %ld draws %ld\n",
                             r.frame, r.time, r.width, r.height, r.lateBuilds, r.lateFirstDraws);
            // The loop runs in this thread with the window's context current.
            if (until >= 0.0 && r.time >= until)
                glfwSetWindowShouldClose(glfwGetCurrentContext(), GLFW_TRUE);
        });
    }
    intro.run();
    return 0;
}

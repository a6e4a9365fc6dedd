// The intro's entry point with test hooks: a GL resolver that lacks one entry point and a report
// of every presented frame on standard error. Everything else is the real Intro.
//   intro_harness [--missing NAME] [--trace]
#include <GL/glx.h>

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
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--missing") == 0 && i + 1 < argc) {
            missingName = argv[++i];
        } else if (std::strcmp(argv[i], "--trace") == 0) {
            trace = true;
        }
    }
    std::atexit(reportQuad);

    const tw::RenderSize screen = tw::Intro::startWindowSystem();
    tw::Intro intro(screen.width, screen.height, missingName.empty() ? nullptr : resolveAllBut);
    if (trace) {
        intro.setFrameObserver([](const tw::FrameReport& r) {
            std::fprintf(stderr, "frame %d time %.6f size %dx%d\n", r.frame, r.time, r.width,
                         r.height);
        });
    }
    intro.run();
    return 0;
}

// A library preloaded (LD_PRELOAD) into the real programs to make one thing outside them fail: the
// fault TW_FAULT names (faultIs below). Nothing in the programs reads that variable: the program
// under test is the one that ships, and only the library calls it makes behave differently.
#include <dlfcn.h>
#include <pthread.h>
#include <sys/auxv.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

struct GLFWmonitor;
struct GLFWvidmode;

namespace {

bool faultIs(const char* name) {
    const char* fault = std::getenv("TW_FAULT");
    return fault != nullptr && std::strcmp(fault, name) == 0;
}

template <typename Function>
Function next(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// True when `address` lies in the main program: the object that holds its entry point.
bool inMainProgram(const void* address) {
    Dl_info code, entry;
    return dladdr(address, &code) != 0 &&
           dladdr(reinterpret_cast<void*>(getauxval(AT_ENTRY)), &entry) != 0 &&
           code.dli_fbase == entry.dli_fbase;
}

// A glMapBufferARB that never maps.
void* mapNothing(unsigned int /*target*/, unsigned int /*access*/) {
    return nullptr;
}

}  // namespace

extern "C" {

GLFWmonitor* glfwGetPrimaryMonitor() {
    if (faultIs("no-monitor"))
        return nullptr;
    return next<GLFWmonitor* (*)()>("glfwGetPrimaryMonitor")();
}

const GLFWvidmode* glfwGetVideoMode(GLFWmonitor* monitor) {
    if (faultIs("no-mode"))
        return nullptr;
    return next<const GLFWvidmode* (*)(GLFWmonitor*)>("glfwGetVideoMode")(monitor);
}

void* eglGetProcAddress(const char* name) {
    if (faultIs("no-fbo") && std::strcmp(name, "glBindFramebufferEXT") == 0)
        return nullptr;
    if (faultIs("no-map") && std::strcmp(name, "glMapBufferARB") == 0)
        return reinterpret_cast<void*>(mapNothing);
    return next<void* (*)(const char*)>("eglGetProcAddress")(name);
}

int xmp_load_module_from_memory(void* context, const void* image, long size) {
    auto load = next<int (*)(void*, const void*, long)>("xmp_load_module_from_memory");
    if (!faultIs("module") || size < 17)
        return load(context, image, size);
    // The player identifies an XM module by its first 17 bytes.
    std::vector<unsigned char> damaged(static_cast<const unsigned char*>(image),
                                       static_cast<const unsigned char*>(image) + size);
    std::memset(damaged.data(), 'x', 17);
    return load(context, damaged.data(), size);
}

void glGetIntegerv(unsigned int name, int* value) {
    next<void (*)(unsigned int, int*)>("glGetIntegerv")(name, value);
    if (!faultIs("low-limits"))
        return;
    if (name == 0x8B4B)  // GL_MAX_VARYING_FLOATS
        *value = 32;
    else if (name == 0x8B4C)  // GL_MAX_VERTEX_TEXTURE_IMAGE_UNITS
        *value = 0;
}

// Only the audio thread's start fails: its start routine is in the program itself, while the GL
// driver's and the sound client's threads start in libraries.
int pthread_create(pthread_t* thread, const pthread_attr_t* attr, void* (*start)(void*),
                   void* arg) {
    if (faultIs("thread") && inMainProgram(reinterpret_cast<const void*>(start)))
        return EAGAIN;
    return next<int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*)>(
        "pthread_create")(thread, attr, start, arg);
}

}  // extern "C"

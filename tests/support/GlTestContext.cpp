#include "support/GlTestContext.h"

#include <GLFW/glfw3.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "assets/TextureBank.h"
#include "gl/FullscreenQuad.h"
#include "gl/GlExtensionTable.h"
#include "support/TestServices.h"

namespace tw::test {

GLFWwindow* GlTestContext::ensure(int screenWidth, int screenHeight) {
    static GLFWwindow* window = nullptr;
    if (window != nullptr)
        return window;
    useTestServices();
    if (glfwInit() == GLFW_FALSE) {
        ADD_FAILURE() << "glfwInit failed on DISPLAY=" << std::getenv("DISPLAY");
        std::abort();
    }
    glfwWindowHint(GLFW_VISIBLE, GLFW_FALSE);
    window = glfwCreateWindow(screenWidth, screenHeight, "tidewatch test", nullptr, nullptr);
    if (window == nullptr) {
        ADD_FAILURE() << "no GL window";
        std::abort();
    }
    glfwMakeContextCurrent(window);
    if (!loadGlExtensions()) {
        ADD_FAILURE() << "extension table incomplete";
        std::abort();
    }
    FullscreenQuad::create();
    TextureBank& bank = TextureBank::instance();
    bank.screenWidth = screenWidth;
    bank.screenHeight = screenHeight;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return window;
}

}  // namespace tw::test

// Reading pixels back from the real GL and comparing them with an explicit tolerance.
#pragma once

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tw::test {

// An RGBA8 picture, rows bottom-up as GL returns them.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;
};

// Reads the colour buffer of framebuffer `fbo` (0 for the window's back buffer).
Image readFramebuffer(GLuint fbo, int width, int height);
// At most `allowedShare` of the pixels differ from `expected` by more than `levels` in some
// channel; otherwise says by how much and keeps test-output/NAME-seen.png, NAME-expected.png and
// NAME-difference.png (eight times brighter). Same sizes required.
::testing::AssertionResult picturesAgree(const Image& image, const Image& expected, int levels,
                                         double allowedShare, const std::string& name);

// Reads a PNG as RGBA8 with rows bottom-up, like the GL's read-back; false when it cannot.
bool readPng(const std::string& path, Image& image);

// One integer of GL state (glGetIntegerv).
GLint glInteger(GLenum name);

// Writes the picture upright as PNG next to the test's other outputs; returns the path.
std::string savePng(const Image& image, const std::string& name);

}  // namespace tw::test

#include "support/PixelProbe.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <png.h>

#include "assets/PngWriter.h"
#include "gl/GlExtensionTable.h"

namespace tw::test {

Image readFramebuffer(GLuint fbo, int width, int height) {
    Image image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, fbo);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, image.pixels.data());
    glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, 0);
    return image;
}

namespace {

// Each channel's difference, eight times brighter, on an opaque picture.
Image differenceImage(const Image& a, const Image& b) {
    Image difference{a.width, a.height, std::vector<uint8_t>(a.pixels.size(), 255)};
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        if (i % 4 != 3)
            difference.pixels[i] =
                static_cast<uint8_t>(std::min(255, 8 * std::abs(a.pixels[i] - b.pixels[i])));
    }
    return difference;
}

// Saves what was seen, what was expected and (same sizes) their difference; names them. A
// picture that could not be read has nothing to save.
std::string keepEvidence(const Image& image, const Image& expected, const std::string& name) {
    std::string said;
    const auto keep = [&](const Image& picture, const std::string& what) {
        if (!picture.pixels.empty())
            said += "; " + what + " " + savePng(picture, name + "-" + what);
    };
    keep(image, "seen");
    keep(expected, "expected");
    if (!image.pixels.empty() && image.pixels.size() == expected.pixels.size() &&
        image.width == expected.width)
        said += "; difference " + savePng(differenceImage(image, expected), name + "-difference");
    return said;
}

}  // namespace

::testing::AssertionResult picturesAgree(const Image& image, const Image& expected, int levels,
                                         double allowedShare, const std::string& name) {
    if (image.pixels.size() != expected.pixels.size() || image.width != expected.width)
        return ::testing::AssertionFailure()
               << "the pictures differ in size: " << image.width << "x" << image.height
               << " against " << expected.width << "x" << expected.height
               << keepEvidence(image, expected, name);
    int differing = 0, largest = 0;
    for (size_t i = 0; i < image.pixels.size(); i += 4) {
        int worst = 0;
        for (size_t c = i; c < i + 4; ++c)
            worst = std::max(worst, std::abs(image.pixels[c] - expected.pixels[c]));
        differing += worst > levels ? 1 : 0;
        largest = std::max(largest, worst);
    }
    const double share = differing * 4.0 / static_cast<double>(image.pixels.size());
    if (share <= allowedShare)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << share * 100 << " % of the pixels differ by more than " << levels
           << " levels (largest " << largest << ")" << keepEvidence(image, expected, name);
}

bool readPng(const std::string& path, Image& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path.c_str()) == 0)
        return false;
    png.format = PNG_FORMAT_RGBA;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    image.pixels.assign(PNG_IMAGE_SIZE(png), 0);
    // A negative stride fills the buffer from its last row up.
    const png_int_32 stride = -static_cast<png_int_32>(PNG_IMAGE_ROW_STRIDE(png));
    const bool ok = png_image_finish_read(&png, nullptr, image.pixels.data(), stride, nullptr) != 0;
    png_image_free(&png);
    return ok;
}

GLint glInteger(GLenum name) {
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

std::string savePng(const Image& image, const std::string& name) {
    const std::string dir = std::string(TW_BINARY_DIR) + "/test-output";
    std::filesystem::create_directories(dir);
    const std::string path = dir + "/" + name + ".png";
    writePng(path, image.width, image.height, 4, image.pixels.data(), true);
    return path;
}

}  // namespace tw::test

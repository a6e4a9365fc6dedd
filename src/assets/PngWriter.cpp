#include "assets/PngWriter.h"

#include <png.h>

#include <cstdio>

namespace tw {

namespace {

// The caller reports a failure in its own words; libpng's default handler would print as well.
void quietError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void quietWarning(png_structp, png_const_charp) {}

}  // namespace

bool writePng(const std::string& path, int width, int height, int channels, const uint8_t* pixels,
              bool bottomUp) {
    static const int kColorTypes[5] = {0, PNG_COLOR_TYPE_GRAY, 0, PNG_COLOR_TYPE_RGB,
                                       PNG_COLOR_TYPE_RGBA};
    if (channels < 1 || channels > 4 || channels == 2 || width <= 0 || height <= 0)
        return false;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    bool ok = info != nullptr;
    // libpng reports errors by longjmp; nothing with a destructor lives across this point.
    if (ok && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_IHDR(png, info, width, height, 8, kColorTypes[channels], PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        const size_t stride = static_cast<size_t>(width) * channels;
        for (int y = 0; y < height; ++y) {
            const int row = bottomUp ? height - 1 - y : y;
            png_write_row(png, const_cast<png_bytep>(pixels + stride * row));
        }
        png_write_end(png, nullptr);
    } else {
        ok = false;
    }
    png_destroy_write_struct(&png, &info);
    ok = (std::fclose(file) == 0) && ok;
    if (!ok)
        std::remove(path.c_str());
    return ok;
}

}  // namespace tw

// tidewatch-make-icon SIZE FILE: the menu icon, drawn at build time from the embedded logo.
//
// The logotype, trimmed to its visible pixels, is scaled to fit a SIZE x SIZE square by
// averaging the source pixels each icon pixel covers (with colour weighted by alpha, so the
// transparent surroundings do not darken the edges) and centred on a transparent background.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "assets/ImageRecord.h"
#include "assets/PngWriter.h"

namespace {

struct Box {
    int left, bottom, right, top;  // right and top exclusive
};

Box visibleBox(const tw::ImageRecord& logo) {
    const int width = static_cast<int>(logo.width());
    const int height = static_cast<int>(logo.height());
    Box box{width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (logo.pixels()[(static_cast<size_t>(y) * width + x) * 4 + 3] == 0)
                continue;
            box = {std::min(box.left, x), std::min(box.bottom, y), std::max(box.right, x + 1),
                   std::max(box.top, y + 1)};
        }
    }
    return box;
}

}  // namespace

int main(int argc, char** argv) {
    const int size = argc == 3 ? std::atoi(argv[1]) : 0;
    if (size < 16 || size > 1024) {
        std::fprintf(stderr, "usage: tidewatch-make-icon SIZE FILE (SIZE 16 to 1024)\n");
        return 2;
    }
    const tw::ImageRecord logo = tw::logoRecord();
    const Box box = visibleBox(logo);
    const int boxWidth = box.right - box.left;
    const int boxHeight = box.top - box.bottom;
    // Source pixels per icon pixel, the same both ways so the letters keep their shape.
    const double scale = static_cast<double>(std::max(boxWidth, boxHeight)) / size;
    const int drawnWidth = std::max(1, static_cast<int>(boxWidth / scale));
    const int drawnHeight = std::max(1, static_cast<int>(boxHeight / scale));
    const int offsetX = (size - drawnWidth) / 2;
    const int offsetY = (size - drawnHeight) / 2;

    std::vector<uint8_t> icon(static_cast<size_t>(size) * size * 4, 0);
    for (int y = 0; y < drawnHeight; ++y) {
        for (int x = 0; x < drawnWidth; ++x) {
            double sum[4] = {0, 0, 0, 0};
            int count = 0;
            for (int sy = static_cast<int>(y * scale); sy < static_cast<int>((y + 1) * scale);
                 ++sy) {
                for (int sx = static_cast<int>(x * scale); sx < static_cast<int>((x + 1) * scale);
                     ++sx) {
                    const uint8_t* p =
                        logo.pixels() +
                        ((static_cast<size_t>(box.bottom + sy) * logo.width()) + box.left + sx) * 4;
                    for (int c = 0; c < 3; ++c)
                        sum[c] += p[c] * p[3];
                    sum[3] += p[3];
                    ++count;
                }
            }
            uint8_t* out = &icon[((static_cast<size_t>(offsetY + y) * size) + offsetX + x) * 4];
            for (int c = 0; c < 3 && sum[3] > 0; ++c)
                out[c] = static_cast<uint8_t>(sum[c] / sum[3] + 0.5);
            out[3] = static_cast<uint8_t>(count > 0 ? sum[3] / count + 0.5 : 0);
        }
    }
    // The record's rows, and so the icon's, run bottom-up.
    if (!tw::writePng(argv[2], size, size, 4, icon.data(), true)) {
        std::fprintf(stderr, "tidewatch-make-icon: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}

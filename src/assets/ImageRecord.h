// Read-only view of one embedded picture record: a 16-byte header (width, height, GL pixel format,
// reserved; little-endian 32-bit words) followed by the pixels, bottom row first, rows unpadded.
//
// Get a record with logoRecord(), fontRecord() or fbmRecord(); hand width(), height(), format()
// and pixels() to the texture upload as they stand. The header is trusted, never validated.
// The three getters' desktop side is EmbeddedRecords.cpp; the browser build links its own
// (web/src/EmbeddedAssets.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

namespace tw {

class ImageRecord {
  public:
    static constexpr size_t kHeaderBytes = 16;

    // `begin` and `end` bound the whole record as embedded (header included).
    ImageRecord(const uint8_t* begin, const uint8_t* end) : begin(begin), end(end) {}

    uint32_t width() const { return word(0); }
    uint32_t height() const { return word(1); }
    uint32_t format() const { return word(2); }    // GL_RGBA or GL_LUMINANCE
    uint32_t reserved() const { return word(3); }  // 0; nothing reads it
    int components() const;                        // bytes a pixel: 4 for GL_RGBA, else 1
    const uint8_t* pixels() const { return begin + kHeaderBytes; }

    const uint8_t* bytes() const { return begin; }
    size_t byteCount() const { return static_cast<size_t>(end - begin); }  // header + pixels

  private:
    uint32_t word(int index) const;

    const uint8_t* begin;
    const uint8_t* end;
};

ImageRecord logoRecord();  // 1920x608 GL_RGBA logotype on a transparent background
ImageRecord fontRecord();  // 144x60 GL_LUMINANCE atlas, 16x6 cells of 9x10 pixels, codes 32-127
ImageRecord fbmRecord();   // 256x256 GL_LUMINANCE tiling fbm noise

}  // namespace tw

// Generates the font picture: a 16x6-cell atlas of 9x10-pixel glyphs for codes 32 to 127, two
// levels (0 and 255), drawn from the glyph art in font_glyphs.txt.
//
// Usage: make_font GLYPHS.txt OUTPUT.rec
// The art gives cell rows and columns 1 to 8; the cell's left column and top and bottom rows stay
// blank so neighbouring glyphs never touch when the scroller samples a whole cell.
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "RecordFile.h"

namespace {

constexpr int kCellWidth = 9;
constexpr int kCellHeight = 10;
constexpr int kColumns = 16;
constexpr int kRows = 6;
constexpr int kWidth = kCellWidth * kColumns;  // 144
constexpr int kHeight = kCellHeight * kRows;   // 60
constexpr int kArtSize = 8;                    // rows and columns 1 to 8 of a cell
constexpr int kFirstCode = 33;                 // 32 (blank) has no ink
constexpr int kLastCode = 122;                 // 123 to 127 stay empty

bool fail(const std::string& where, int line, const std::string& what) {
    std::fprintf(stderr, "%s:%d: %s\n", where.c_str(), line, what.c_str());
    return false;
}

// Capitals and digits keep to the first 7 rows and columns, so they line up on the scroll wall.
bool isCapitalOrDigit(int code) {
    return (code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9');
}

bool readGlyphs(const std::string& path, std::vector<uint8_t>& pixels) {
    std::ifstream in(path);
    if (!in)
        return fail(path, 0, "cannot read");
    std::set<int> seen;
    std::string text;
    int lineNumber = 0;
    int code = -1;
    int artRow = kArtSize;
    while (std::getline(in, text)) {
        ++lineNumber;
        if (text.empty() || text[0] == ';')
            continue;
        if (text[0] == '=') {
            if (artRow != kArtSize)
                return fail(path, lineNumber, "previous glyph has fewer than 8 rows");
            std::istringstream header(text.substr(1));
            if (!(header >> code) || code < kFirstCode || code > kLastCode)
                return fail(path, lineNumber, "glyph code outside 33..122");
            // The character shown after the code guards against a mistyped code.
            std::string shown;
            if (!(header >> shown) || shown.size() != 1 || shown[0] != code ||
                !(header >> std::ws).eof())
                return fail(path, lineNumber,
                            "expected \"= " + std::to_string(code) + " " +
                                std::string(1, static_cast<char>(code)) + "\"");
            if (!seen.insert(code).second)
                return fail(path, lineNumber, "glyph defined twice");
            artRow = 0;
            continue;
        }
        if (artRow >= kArtSize)
            return fail(path, lineNumber, "pixel row outside a glyph");
        if (text.size() != kArtSize || text.find_first_not_of(".#") != std::string::npos)
            return fail(path, lineNumber, "a pixel row is 8 of '.' and '#'");
        const int cellX = (code - 32) % kColumns * kCellWidth;
        const int cellY = (code - 32) / kColumns * kCellHeight;
        for (int column = 0; column < kArtSize; ++column) {
            if (text[column] != '#')
                continue;
            if (isCapitalOrDigit(code) && (column == 7 || artRow == 7))
                return fail(path, lineNumber, "capitals and digits keep to 7x7 pixels");
            pixels[(cellY + 1 + artRow) * kWidth + cellX + 1 + column] = 255;
        }
        ++artRow;
    }
    if (artRow != kArtSize)
        return fail(path, lineNumber, "last glyph has fewer than 8 rows");
    if (seen.size() != kLastCode - kFirstCode + 1)
        return fail(path, lineNumber, "every code from 33 to 122 needs a glyph");
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_font GLYPHS.txt OUTPUT.rec\n");
        return 2;
    }
    std::vector<uint8_t> pixels(kWidth * kHeight, 0);
    if (!readGlyphs(argv[1], pixels))
        return 1;
    return tw::tools::writeRecord(argv[2], kWidth, kHeight, tw::tools::kFormatLuminance, pixels)
               ? 0
               : 1;
}

#include "assets/ScrollText.h"

#include <cctype>
#include <cstring>
#include <string>

namespace tw {

std::vector<float> scrollTextTexels(const char* message, size_t size) {
    // Upper-case a copy: the constant itself stays untouched.
    std::string text(message, strnlen(message, size));
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));

    // The atlas has 16 cells a row and 6 rows; a cell is 0.0625 wide and 1/6 high, rows counted
    // down from t = 1.
    const float cellHeight = 0.16666667f;
    std::vector<float> texels;
    texels.reserve(text.size() * 3);
    for (char c : text) {
        const int k = static_cast<signed char>(c);
        texels.push_back(static_cast<float>((k - 32) % 16) * 0.0625f);
        texels.push_back(1.0f - static_cast<float>((k - 32) / 16) * cellHeight);
        texels.push_back(0.0f);
    }
    return texels;
}

}  // namespace tw

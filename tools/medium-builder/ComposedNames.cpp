#include "ComposedNames.h"

#include "util/Cp1251.h"

namespace composednames {

namespace {

struct Composition {
    char32_t base;
    char32_t mark;
    char32_t composed;
};

// The letters of cp1251 that have a decomposition: Ё Й Ї Ў Ѓ Ќ, capital and small.
const Composition kCompositions[] = {
    {0x0415, 0x0308, 0x0401}, {0x0435, 0x0308, 0x0451}, {0x0418, 0x0306, 0x0419},
    {0x0438, 0x0306, 0x0439}, {0x0406, 0x0308, 0x0407}, {0x0456, 0x0308, 0x0457},
    {0x0423, 0x0306, 0x040E}, {0x0443, 0x0306, 0x045E}, {0x0413, 0x0301, 0x0403},
    {0x0433, 0x0301, 0x0453}, {0x041A, 0x0301, 0x040C}, {0x043A, 0x0301, 0x045C},
};

}  // namespace

std::string Composed(const std::string& name) {
    std::u32string letters;
    for (std::size_t pos = 0; pos < name.size();) {
        char32_t c = 0;
        if (!cp1251::NextUtf8(name, pos, c)) return name;
        if (!letters.empty()) {
            for (const Composition& k : kCompositions) {
                if (letters.back() == k.base && c == k.mark) {
                    letters.back() = k.composed;
                    c = 0;
                    break;
                }
            }
        }
        if (c != 0) letters.push_back(c);
    }
    std::string composed;
    for (char32_t c : letters) cp1251::AppendUtf8(composed, c);
    return composed;
}

}  // namespace composednames

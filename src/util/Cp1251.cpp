#include "util/Cp1251.h"

#include <cstdio>

namespace cp1251 {
namespace {

// Code points of the bytes 0x80 to 0xFF; 0 marks the unassigned 0x98.
const char16_t kHighHalf[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0: А to Я
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423,
    0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0: а to я
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443,
    0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,
};

std::string CodePointName(char32_t cp) {
    char name[16];
    std::snprintf(name, sizeof name, "U+%04lX", static_cast<unsigned long>(cp));
    return name;
}

}  // namespace

long ToUnicode(std::uint8_t byte) {
    if (byte < 0x80) {
        return byte;
    }
    const char16_t cp = kHighHalf[byte - 0x80];
    return cp == 0 ? -1 : static_cast<long>(cp);
}

int FromUnicode(char32_t codePoint) {
    if (codePoint < 0x80) {
        return static_cast<int>(codePoint);
    }
    if (codePoint >= 0x0410 && codePoint <= 0x044F) {
        return static_cast<int>(codePoint - 0x0410 + 0xC0);
    }
    for (int i = 0; i < 0x40; ++i) {
        if (kHighHalf[i] != 0 && kHighHalf[i] == codePoint) {
            return 0x80 + i;
        }
    }
    return -1;
}

bool NextUtf8(const std::string& text, std::size_t& pos, char32_t& codePoint) {
    if (pos >= text.size()) {
        return false;
    }
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(pos);
    std::size_t extra = 0;
    char32_t cp = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        codePoint = lead;
        ++pos;
        return true;
    } else if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
        least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
        least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
        least = 0x10000;
    } else {
        return false;
    }
    if (text.size() - pos <= extra) {
        return false;
    }
    for (std::size_t i = 1; i <= extra; ++i) {
        const std::uint8_t next = byte(pos + i);
        if ((next & 0xC0) != 0x80) {
            return false;
        }
        cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return false;
    }
    codePoint = cp;
    pos += extra + 1;
    return true;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string ToUtf8(const std::string& bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const long cp = ToUnicode(static_cast<std::uint8_t>(c));
        AppendUtf8(out, cp < 0 ? 0xFFFD : static_cast<char32_t>(cp));
    }
    return out;
}

bool FromUtf8(const std::string& utf8, std::string& bytes, std::string& error) {
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = 0;
        const std::size_t at = pos;
        if (!NextUtf8(utf8, pos, cp)) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X",
                          static_cast<unsigned>(static_cast<std::uint8_t>(utf8[at])));
            error = std::string("invalid UTF-8 (byte ") + hex + " at offset " + std::to_string(at) +
                    ")";
            return false;
        }
        const int b = FromUnicode(cp);
        if (b < 0) {
            std::string shown;
            AppendUtf8(shown, cp);
            error = CodePointName(cp) + " '" + shown + "' cannot be written in cp1251";
            return false;
        }
        out += static_cast<char>(b);
    }
    bytes.swap(out);
    return true;
}

std::u16string ToUtf16(const std::string& bytes) {
    std::u16string out;
    out.reserve(bytes.size());
    for (char c : bytes) {
        const long cp = ToUnicode(static_cast<std::uint8_t>(c));
        out += static_cast<char16_t>(cp < 0 ? 0xFFFD : cp);
    }
    return out;
}

bool FromUtf16(const std::u16string& text, std::string& bytes) {
    std::string out;
    out.reserve(text.size());
    for (char16_t unit : text) {
        // Every character of the code page is in the basic plane: a surrogate never fits.
        const int b = FromUnicode(unit);
        if (b < 0) return false;
        out += static_cast<char>(b);
    }
    bytes.swap(out);
    return true;
}

std::u16string Utf8ToUtf16(const std::string& utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        char32_t cp = 0;
        const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(utf8[i]); };
        // A lone surrogate's three-byte form, as Utf16ToUtf8 writes it.
        if (byte(pos) == 0xED && pos + 2 < utf8.size() && (byte(pos + 1) & 0xE0) == 0xA0 &&
            (byte(pos + 2) & 0xC0) == 0x80) {
            out += static_cast<char16_t>(0xD000 | ((byte(pos + 1) & 0x3F) << 6) |
                                         (byte(pos + 2) & 0x3F));
            pos += 3;
            continue;
        }
        if (!NextUtf8(utf8, pos, cp)) {
            out += u'\xFFFD';
            ++pos;
            continue;
        }
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            AppendUtf8(out, unit);  // a lone surrogate keeps its three-byte form
        }
    }
    return out;
}

}  // namespace cp1251

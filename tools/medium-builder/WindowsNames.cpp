#include "WindowsNames.h"

#include <cstdio>

#include "WindowsUpcase.h"
#include "util/Cp1251.h"

namespace windowsnames {

namespace {

bool Utf16Units(const std::string& name, std::size_t& units) {
    units = 0;
    for (std::size_t pos = 0; pos < name.size();) {
        char32_t c = 0;
        if (!cp1251::NextUtf8(name, pos, c)) return false;
        units += c > 0xFFFF ? 2 : 1;
    }
    return true;
}

// COM and LPT take a digit 0 to 9 or a superscript 1, 2 or 3.
bool IsPortNumber(const std::string& text) {
    return (text.size() == 1 && text[0] >= '0' && text[0] <= '9') || text == "\xC2\xB9" ||
           text == "\xC2\xB2" || text == "\xC2\xB3";
}

bool IsReservedDevice(const std::string& name) {
    std::string base = CaseFolded(name.substr(0, name.find('.')));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" || base == "CONIN$" ||
        base == "CONOUT$") {
        return true;
    }
    return base.size() > 3 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           IsPortNumber(base.substr(3));
}

}  // namespace

std::string NameProblem(const std::string& name) {
    if (name.empty()) return "is empty";
    std::size_t units = 0;
    if (!Utf16Units(name, units)) return "is not UTF-8, so its characters are unknown";
    if (units > kLongestName) {
        return "is " + std::to_string(units) + " characters long; the Joliet tree holds " +
               std::to_string(kLongestName);
    }
    for (char c : name) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "0x%02X", b);
            return std::string("holds the control character ") + code +
                   ", which Windows does not allow in names";
        }
        if (std::string("<>:\"/\\|?*").find(c) != std::string::npos) {
            return std::string("holds '") + c + "', which Windows does not allow in names";
        }
        if (c == ';') return "holds ';', which the image's Joliet tree cannot hold";
    }
    if (name.back() == '.' || name.back() == ' ') {
        return std::string("ends with a ") + (name.back() == '.' ? "dot" : "blank") +
               ", which Windows drops";
    }
    if (IsReservedDevice(name)) return "is a device name Windows reserves";
    return std::string();
}

std::string ControlsEscaped(const std::string& text) {
    std::string escaped;
    for (char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '\n') {
            escaped += "\\n";
        } else if (c == '\t') {
            escaped += "\\t";
        } else if (b < 0x20 || b == 0x7F) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", b);
            escaped += code;
        } else {
            escaped += c;
        }
    }
    return escaped;
}

std::string Shown(const std::string& path) {
    if (ControlsEscaped(path) == path) return path;
    std::string quoted;
    for (char c : path) quoted += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
    return "\"" + ControlsEscaped(quoted) + "\"";
}

std::size_t JolietPathBytes(const std::string& relativePath) {
    std::size_t bytes = 1;
    std::size_t start = 0;
    while (start <= relativePath.size()) {
        std::size_t end = relativePath.find('/', start);
        if (end == std::string::npos) end = relativePath.size();
        std::size_t units = 0;
        Utf16Units(relativePath.substr(start, end - start), units);
        bytes += 1 + 2 * units;
        start = end + 1;
    }
    return bytes;
}

std::string CaseFolded(const std::string& name) {
    std::string folded;
    for (std::size_t pos = 0; pos < name.size();) {
        char32_t c = 0;
        if (!cp1251::NextUtf8(name, pos, c)) {
            folded += name[pos++];
            continue;
        }
        cp1251::AppendUtf8(folded, windowsupcase::Upper(c));
    }
    return folded;
}

}  // namespace windowsnames

#include "util/VersionQueryPaths.h"

namespace {

std::string UpperHex(std::uint32_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0; --i) {
        text[static_cast<std::size_t>(i)] = kDigits[value & 0xF];
        value >>= 4;
    }
    return text;
}

std::string StringTablePath(const std::string& key, const std::string& valueName) {
    return "\\StringFileInfo\\" + key + "\\" + valueName;
}

}  // namespace

std::vector<std::string> StringValuePaths(const std::string& valueName,
                                          std::uint32_t languageCodePage) {
    std::vector<std::string> paths{StringTablePath(UpperHex(languageCodePage, 8), valueName)};
    if ((languageCodePage & 0xFFFF) != kUtf16CodePage) {
        paths.push_back(StringTablePath(UpperHex(languageCodePage >> 16, 4) + "04B0", valueName));
    }
    return paths;
}

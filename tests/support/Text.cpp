#include "support/Text.h"

#include <windows.h>

#include "util/PathParts.h"

namespace support {

namespace {

std::wstring ToWide(UINT codePage, const std::string& text) {
    if (text.empty()) return std::wstring();
    const int size = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring result(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, &result[0], wide);
    return result;
}

std::string FromWide(UINT codePage, const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    const int bytes =
        WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, &result[0], bytes, nullptr, nullptr);
    return result;
}

}  // namespace

std::string ToUtf8(const std::string& cp1251) {
    return FromWide(CP_UTF8, ToWide(1251, cp1251));
}

std::string Cp1251(const std::string& utf8) {
    return FromWide(1251, ToWide(CP_UTF8, utf8));
}

std::string WideToCp1251(const std::wstring& text) {
    return FromWide(1251, text);
}

std::vector<std::string> ToUtf8(const std::vector<std::string>& cp1251) {
    std::vector<std::string> texts;
    for (const std::string& text : cp1251) texts.push_back(ToUtf8(text));
    return texts;
}

std::string HostToWinePath(const std::string& hostPath) {
    std::string path = "Z:" + hostPath;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

std::string TempFilePath(const std::string& name) {
    char folder[MAX_PATH + 1] = {};
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + name;
}

std::string BesideProgram(const std::string& name) {
    PathParts path(name);
    path.SetDirectoryFromModule("");
    return path.FullPath();
}

}  // namespace support

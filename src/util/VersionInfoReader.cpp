#include "util/VersionInfoReader.h"

#include <cstring>

#include "util/ModuleFile.h"
#include "util/VersionQueryPaths.h"
#include "util/WideText.h"

bool VersionInfoReader::Load(HMODULE module) {
    const std::string path = ModuleFilePath(module);
    if (path.empty()) {
        Clear();
        return false;
    }
    return LoadFile(path.c_str());
}

bool VersionInfoReader::LoadFile(const char* path) {
    Clear();
    if (path == nullptr) return false;
    const std::wstring widePath = WideFromUtf8(path);
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeW(widePath.c_str(), &handle);
    if (size == 0) return false;
    data = std::make_unique<unsigned char[]>(size);
    dataSize = size;
    if (GetFileVersionInfoW(widePath.c_str(), handle, dataSize, data.get()) &&
        CopyValue("\\", &fixedInfo, sizeof fixedInfo)) {
        return true;
    }
    Clear();
    return false;
}

void VersionInfoReader::Clear() {
    data.reset();
    dataSize = 0;
    fixedInfo = VS_FIXEDFILEINFO{};
}

UINT VersionInfoReader::QueryValueLength(const char* subBlock) {
    if (!data || subBlock == nullptr) return 0;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.get(), WideFromCp1251(subBlock).c_str(), &value, &length) ||
        value == nullptr)
        return 0;
    return length;
}

bool VersionInfoReader::CopyValue(const char* subBlock, void* destination, UINT destinationSize) {
    if (!data || subBlock == nullptr || destination == nullptr) return false;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.get(), WideFromCp1251(subBlock).c_str(), &value, &length) ||
        value == nullptr)
        return false;
    if (length == 0 || length > destinationSize) return false;
    std::memcpy(destination, value, length);
    return true;
}

std::wstring VersionInfoReader::ReadString(const std::string& subBlock) {
    if (!data) return std::wstring();
    void* value = nullptr;
    UINT length = 0;  // characters
    if (!VerQueryValueW(data.get(), WideFromCp1251(subBlock).c_str(), &value, &length) ||
        value == nullptr || length == 0)
        return std::wstring();
    std::wstring text(static_cast<const wchar_t*>(value), length);
    return text.substr(0, text.find(L'\0'));
}

std::wstring VersionInfoReader::GetString(const char* valueName, DWORD languageCodePage) {
    if (!data || valueName == nullptr) return std::wstring();
    for (const std::string& path : StringValuePaths(valueName, languageCodePage)) {
        std::wstring text = ReadString(path);
        // Text that is empty before its first NUL counts as absent, so the next key is tried.
        if (!text.empty()) return text;
    }
    return std::wstring();
}

#include "util/VersionInfoReader.h"

#include <cstring>
#include <vector>

#include "util/VersionQueryPaths.h"

namespace {
constexpr DWORD kModuleNameLimit = 4160;
}

bool VersionInfoReader::Load(HMODULE module) {
    std::vector<char> name(kModuleNameLimit + 1, '\0');
    const DWORD length = GetModuleFileNameA(module, name.data(), kModuleNameLimit);
    // A name that fills the whole buffer has been cut short and names some other file.
    if (length == 0 || length >= kModuleNameLimit) return false;
    return LoadFile(name.data());
}

bool VersionInfoReader::LoadFile(const char* path) {
    Clear();
    if (path == nullptr) return false;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size == 0) return false;
    data = std::make_unique<unsigned char[]>(size);
    dataSize = size;
    if (GetFileVersionInfoA(path, handle, dataSize, data.get()) &&
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
    if (!VerQueryValueA(data.get(), subBlock, &value, &length) || value == nullptr) return 0;
    return length;
}

bool VersionInfoReader::CopyValue(const char* subBlock, void* destination, UINT destinationSize) {
    if (!data || subBlock == nullptr || destination == nullptr) return false;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.get(), subBlock, &value, &length) || value == nullptr) return false;
    if (length == 0 || length > destinationSize) return false;
    std::memcpy(destination, value, length);
    return true;
}

std::string VersionInfoReader::ReadString(const std::string& subBlock) {
    const UINT length = QueryValueLength(subBlock.c_str());
    if (length == 0) return std::string();
    std::string text(length, '\0');
    if (!CopyValue(subBlock.c_str(), &text[0], length)) return std::string();
    text.resize(std::strlen(text.c_str()));
    return text;
}

std::string VersionInfoReader::GetString(const char* valueName, DWORD languageCodePage) {
    if (!data || valueName == nullptr) return std::string();
    for (const std::string& path : StringValuePaths(valueName, languageCodePage)) {
        std::string text = ReadString(path);
        // Text that is empty before its first NUL counts as absent, so the next key is tried.
        if (!text.empty()) return text;
    }
    return std::string();
}

#include "util/VersionInfoReader.h"

#include <cstring>

#include "util/ModuleFile.h"
#include "util/SystemLibrary.h"
#include "util/VersionQueryPaths.h"
#include "util/WideText.h"

namespace {

// The three calls of the system's version library.
struct VersionLibrary {
    using SizeFn = DWORD(WINAPI*)(LPCWSTR, LPDWORD);
    using InfoFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DWORD, LPVOID);
    using QueryFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
    SizeFn size = nullptr;
    InfoFn info = nullptr;
    QueryFn query = nullptr;

    static const VersionLibrary& Get() {
        static const VersionLibrary library = Load();
        return library;
    }

  private:
    template <class Fn>
    static Fn Find(HMODULE module, const char* name) {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    }
    static VersionLibrary Load() {
        VersionLibrary library;
        if (const HMODULE module = LoadSystemLibrary(L"version.dll")) {
            library.size = Find<SizeFn>(module, "GetFileVersionInfoSizeW");
            library.info = Find<InfoFn>(module, "GetFileVersionInfoW");
            library.query = Find<QueryFn>(module, "VerQueryValueW");
        }
        if (!library.size || !library.info || !library.query) library = VersionLibrary();
        return library;
    }
};

BOOL QueryValue(const void* data, const char* subBlock, void** value, UINT* length) {
    const VersionLibrary& library = VersionLibrary::Get();
    if (!library.query) return FALSE;
    return library.query(data, WideFromCp1251(subBlock).c_str(), value, length);
}

}  // namespace

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
    const VersionLibrary& library = VersionLibrary::Get();
    if (!library.size) return false;
    const std::wstring widePath = WideFromUtf8(path);
    DWORD handle = 0;
    const DWORD size = library.size(widePath.c_str(), &handle);
    if (size == 0) return false;
    data = std::make_unique<unsigned char[]>(size);
    dataSize = size;
    if (library.info(widePath.c_str(), handle, dataSize, data.get()) &&
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
    if (!QueryValue(data.get(), subBlock, &value, &length) || value == nullptr) return 0;
    return length;
}

bool VersionInfoReader::CopyValue(const char* subBlock, void* destination, UINT destinationSize) {
    if (!data || subBlock == nullptr || destination == nullptr) return false;
    void* value = nullptr;
    UINT length = 0;
    if (!QueryValue(data.get(), subBlock, &value, &length) || value == nullptr) return false;
    if (length == 0 || length > destinationSize) return false;
    std::memcpy(destination, value, length);
    return true;
}

std::wstring VersionInfoReader::ReadString(const std::string& subBlock) {
    if (!data) return std::wstring();
    void* value = nullptr;
    UINT length = 0;  // characters
    if (!QueryValue(data.get(), subBlock.c_str(), &value, &length) || value == nullptr ||
        length == 0)
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

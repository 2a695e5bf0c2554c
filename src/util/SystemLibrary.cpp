#include "util/SystemLibrary.h"

#include <string>
#include <vector>

void RestrictDllSearchToSystem() {
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    if (setDefault != nullptr) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    SetDllDirectoryW(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
    const UINT size = GetSystemDirectoryW(nullptr, 0);
    if (size == 0) return nullptr;
    std::vector<wchar_t> folder(size);
    const UINT length = GetSystemDirectoryW(folder.data(), size);
    if (length == 0 || length >= size) return nullptr;
    const std::wstring path = std::wstring(folder.data(), length) + L"\\" + fileName;
    return LoadLibraryW(path.c_str());
}

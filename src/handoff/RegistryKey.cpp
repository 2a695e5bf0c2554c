#include "handoff/RegistryKey.h"

#include "util/WideText.h"

bool RegistryKey::Open(HKEY root, const std::string& subPath, REGSAM access) {
    Close();
    path = subPath;
    lastError = RegOpenKeyExW(root, WideFromCp1251(path).c_str(), 0, access, &handle);
    if (lastError != ERROR_SUCCESS) handle = nullptr;
    return lastError == ERROR_SUCCESS;
}

bool RegistryKey::Create(HKEY root, const std::string& subPath, const char* className,
                         DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES security,
                         DWORD* disposition) {
    Close();
    path = subPath;
    DWORD localDisposition = 0;
    std::wstring wideClass = className != nullptr ? WideFromCp1251(className) : std::wstring();
    lastError = RegCreateKeyExW(root, WideFromCp1251(path).c_str(), 0,
                                className != nullptr ? &wideClass[0] : nullptr, options, access,
                                security, &handle, &localDisposition);
    if (lastError != ERROR_SUCCESS) handle = nullptr;
    if (disposition) *disposition = localDisposition;
    return lastError == ERROR_SUCCESS;
}

bool RegistryKey::SetString(const char* valueName, const std::string& text) {
    const std::wstring wideName = valueName != nullptr ? WideFromCp1251(valueName) : std::wstring();
    const std::wstring wideText = WideFromCp1251(text);
    lastError = RegSetValueExW(handle, valueName != nullptr ? wideName.c_str() : nullptr, 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(wideText.c_str()),
                               static_cast<DWORD>((wideText.size() + 1) * sizeof(wchar_t)));
    return lastError == ERROR_SUCCESS;
}

bool RegistryKey::Close() {
    path.clear();
    if (handle) {
        lastError = RegCloseKey(handle);
        handle = nullptr;
    }
    return lastError == ERROR_SUCCESS;
}

#include "handoff/RegistryKey.h"

bool RegistryKey::Open(HKEY root, const std::string& subPath, REGSAM access) {
    Close();
    path = subPath;
    lastError = RegOpenKeyExA(root, path.c_str(), 0, access, &handle);
    if (lastError != ERROR_SUCCESS) handle = nullptr;
    return lastError == ERROR_SUCCESS;
}

bool RegistryKey::Create(HKEY root, const std::string& subPath, const char* className,
                         DWORD options, REGSAM access, LPSECURITY_ATTRIBUTES security,
                         DWORD* disposition) {
    Close();
    path = subPath;
    DWORD localDisposition = 0;
    lastError = RegCreateKeyExA(root, path.c_str(), 0, const_cast<char*>(className), options,
                                access, security, &handle, &localDisposition);
    if (lastError != ERROR_SUCCESS) handle = nullptr;
    if (disposition) *disposition = localDisposition;
    return lastError == ERROR_SUCCESS;
}

bool RegistryKey::SetString(const char* valueName, const std::string& text) {
    lastError =
        RegSetValueExA(handle, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>(text.size() + 1));
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

#pragma once

#include <windows.h>

#include <string>

// Owns one open registry key and the sub path it was opened or created under. Every operation
// keeps the result of its registry call and reports success as true exactly when that result is
// ERROR_SUCCESS. The key is closed when the object goes. Texts are cp1251 and reach the registry
// as UTF-16, so an ANSI reader gets them in its system's code page and a Unicode one as they are.
class RegistryKey {
  public:
    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // Closes any open key, then RegOpenKeyExW(root, subPath, 0, access).
    bool Open(HKEY root, const std::string& subPath, REGSAM access);
    // Closes any open key, then RegCreateKeyExW; the disposition is copied out when asked for.
    bool Create(HKEY root, const std::string& subPath, const char* className, DWORD options,
                REGSAM access, LPSECURITY_ATTRIBUTES security, DWORD* disposition);
    // Stores text as REG_SZ with its terminating zero; a null name is the key's default value.
    bool SetString(const char* valueName, const std::string& text);
    // Empties the path and closes the key when one is open.
    bool Close();

    const std::string& Path() const { return path; }
    HKEY Handle() const { return handle; }
    LONG LastError() const { return lastError; }

  private:
    std::string path;
    HKEY handle = nullptr;
    LONG lastError = ERROR_SUCCESS;
};

#pragma once

#include <windows.h>

#include <string>

// Removes a key with everything below it; a missing key is left alone.
inline void DeleteTree(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char name[256];
    for (;;) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        DeleteTree(root, path + "\\" + name);
    }
    RegCloseKey(key);
    RegDeleteKeyA(root, path.c_str());
}

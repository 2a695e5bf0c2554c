#pragma once

#include <windows.h>

#include <string>

// The built installer.exe opened as data, for reading its resources as Windows finds them.
namespace app_test {

// The host path of the built program as Wine shows it (drive Z: is the host's root).
inline std::string ProgramPath() {
    std::string path = std::string("Z:") + INSTALLER_EXE_HOST_PATH;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

class ProgramFile {
  public:
    explicit ProgramFile(const std::string& path)
        : module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ProgramFile() {
        if (module) FreeLibrary(module);
    }
    ProgramFile(const ProgramFile&) = delete;
    ProgramFile& operator=(const ProgramFile&) = delete;
    HMODULE Get() const { return module; }

    // The bytes of a resource; empty when the program has none of that type and id.
    std::string Resource(LPCSTR type, WORD id) const {
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
        if (!found) return std::string();
        HGLOBAL loaded = LoadResource(module, found);
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        if (!bytes) return std::string();
        return std::string(static_cast<const char*>(bytes), SizeofResource(module, found));
    }

  private:
    HMODULE module;
};

}  // namespace app_test

#pragma once

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

// A file path together with its parts. Paths are UTF-8 on every platform (on Windows they reach
// the system as UTF-16, so any name it can hold works); the separators are the backslash and the
// dot. After every operation fullPath == directory + fileName.
class PathParts {
  public:
    PathParts() = default;
    explicit PathParts(const std::string& path);
    explicit PathParts(const char* path);

    // fullPath := directory + fileName; returns the new fullPath.
    std::string Compose();
    // Sets fileName (and name/extension where the new name has a dot past its first character).
    std::string SetFileName(std::string newFileName);
    // Sets directory, appending a backslash when it does not end in one.
    std::string SetDirectory(std::string newDirectory);

    // The directory of a loaded module's file; an empty name means the running program. A name
    // that names no loaded module leaves the record unchanged and returns an empty string.
    std::string SetDirectoryFromModule(const std::string& moduleName);
    // The whole record := the module's file path; an empty name means the running program. A name
    // that names no loaded module leaves the record unchanged and returns an empty string.
    std::string SetFromModule(const std::string& moduleName);
#ifdef _WIN32
    // The same for a module handle; a null handle means the running program. A handle whose file
    // name cannot be obtained leaves the record unchanged and returns an empty string.
    std::string SetDirectoryFromModule(HMODULE module);
    std::string SetFromModule(HMODULE module);
#endif

    // True when a file or directory (or a pattern match) is found at fullPath; changes nothing.
    bool Exists() const;

    std::string fullPath;
    std::string directory;
    std::string name;
    std::string extension;
    std::string fileName;

  private:
    void Split(const std::string& path);
    std::string ApplyModuleDirectory(const std::string& modulePath);
    std::string ApplyModulePath(const std::string& modulePath);
};

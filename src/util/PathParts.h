#pragma once

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

// A file path together with its parts. Paths are UTF-8 on every platform (on Windows they reach
// the system as UTF-16, so any name it can hold works); the separators are the backslash and the
// dot. After every operation FullPath() == Directory() + FileName().
class PathParts {
  public:
    PathParts() = default;
    explicit PathParts(const std::string& path);
    explicit PathParts(const char* path);

    // Sets the file name (and name/extension where the new name has a dot past its first
    // character); returns the new full path.
    std::string SetFileName(std::string newFileName);
    // Sets the directory, appending a backslash when it does not end in one; returns the new full
    // path.
    std::string SetDirectory(std::string newDirectory);

    // The directory of a loaded module's file; an empty name means the running program. A name
    // that names no loaded module leaves the record unchanged and returns an empty string.
    std::string SetDirectoryFromModule(const std::string& moduleName);
    // The whole record := the file path of the loaded module of that name (the running program's
    // own path is OwnProgramPath()). A name that names no loaded module, the empty one too, leaves
    // the record unchanged and returns an empty string.
    std::string SetFromModule(const std::string& moduleName);
#ifdef _WIN32
    // The same for a module handle; a null handle means the running program. A handle whose file
    // name cannot be obtained leaves the record unchanged and returns an empty string.
    std::string SetDirectoryFromModule(HMODULE module);
    std::string SetFromModule(HMODULE module);
#endif

    // True when a file or directory (or a pattern match) is found at the full path; changes
    // nothing.
    bool Exists() const;

    const std::string& FullPath() const {
        return fullPath;
    }
    // Up to and with the last directory separator; empty when there is none.
    const std::string& Directory() const {
        return directory;
    }
    // After the directory.
    const std::string& FileName() const {
        return fileName;
    }
    // The file name up to its last dot (all of it when it has none, or only one at its start).
    const std::string& Name() const {
        return name;
    }
    // The file name after its last dot, or empty.
    const std::string& Extension() const {
        return extension;
    }

  private:
    void Split(const std::string& path);
    // fullPath := directory + fileName; returns the new fullPath.
    std::string Compose();
    std::string ApplyModuleDirectory(const std::string& modulePath);
    std::string ApplyModulePath(const std::string& modulePath);

    std::string fullPath;
    std::string directory;
    std::string name;
    std::string extension;
    std::string fileName;
};

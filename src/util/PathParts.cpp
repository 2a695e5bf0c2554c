#include "util/PathParts.h"

#include "util/FileProbe.h"
#include "util/ModuleFile.h"
#include "util/PathSearch.h"

namespace {

constexpr char kBackslash = '\\';
constexpr char kDot = '.';
#ifndef _WIN32
// Natively the module paths come from the POSIX system, so its slash separates directories too.
constexpr char kSlash = '/';
#endif

// Index of the separator that ends the directory part, or npos.
std::size_t LastDirectorySeparator(const std::string& path) {
    std::size_t last = FindLastSeparator(path, kBackslash);
#ifndef _WIN32
    const std::size_t slash = path.rfind(kSlash);
    if (slash != std::string::npos && (last == std::string::npos || slash > last)) last = slash;
#endif
    return last;
}

bool EndsWithDirectorySeparator(const std::string& path) {
    return !path.empty() && LastDirectorySeparator(path) == path.size() - 1;
}

// The separator appended to a directory that lacks one.
char TrailingSeparatorFor(const std::string& directory) {
#ifndef _WIN32
    const std::size_t last = LastDirectorySeparator(directory);
    if (last != std::string::npos && directory[last] == kSlash) return kSlash;
#else
    (void)directory;
#endif
    return kBackslash;
}

// Splits a file name at its last dot; a dot at index 0 (or none) leaves the extension empty.
void SplitFileName(const std::string& fileName, std::string& name, std::string& extension) {
    const std::size_t dot = FindLastSeparator(fileName, kDot);
    if (dot == std::string::npos || dot == 0) {
        name = fileName;
        extension.clear();
    } else {
        name = fileName.substr(0, dot);
        extension = fileName.substr(dot + 1);
    }
}

}  // namespace

PathParts::PathParts(const std::string& path) {
    Split(path);
}

PathParts::PathParts(const char* path) {
    Split(path != nullptr ? std::string(path) : std::string());
}

void PathParts::Split(const std::string& path) {
    fullPath = path;
    const std::size_t separator = LastDirectorySeparator(fullPath);
    if (separator == std::string::npos) {
        directory.clear();
        fileName = fullPath;
    } else {
        directory = fullPath.substr(0, separator + 1);
        fileName = fullPath.substr(separator + 1);
    }
    SplitFileName(fileName, name, extension);
}

std::string PathParts::Compose() {
    fullPath = directory + fileName;
    return fullPath;
}

std::string PathParts::SetFileName(std::string newFileName) {
    fileName = std::move(newFileName);
    SplitFileName(fileName, name, extension);
    return Compose();
}

std::string PathParts::SetDirectory(std::string newDirectory) {
    // An empty directory stays empty: appending a separator would anchor the name at the root.
    if (!newDirectory.empty() && !EndsWithDirectorySeparator(newDirectory)) {
        newDirectory += TrailingSeparatorFor(newDirectory);
    }
    directory = std::move(newDirectory);
    return Compose();
}

std::string PathParts::ApplyModuleDirectory(const std::string& modulePath) {
    if (modulePath.empty()) return std::string();
    const PathParts module(modulePath);
    return SetDirectory(module.directory);
}

std::string PathParts::ApplyModulePath(const std::string& modulePath) {
    if (modulePath.empty()) return std::string();
    const PathParts module(modulePath);
    SetDirectory(module.directory);
    SetFileName(module.fileName);
    return fullPath;
}

std::string PathParts::SetDirectoryFromModule(const std::string& moduleName) {
    return ApplyModuleDirectory(ModuleFilePathByName(moduleName));
}

std::string PathParts::SetFromModule(const std::string& moduleName) {
    if (moduleName.empty()) return std::string();
    return ApplyModulePath(ModuleFilePathByName(moduleName));
}

#ifdef _WIN32
std::string PathParts::SetDirectoryFromModule(HMODULE module) {
    return ApplyModuleDirectory(ModuleFilePath(module));
}

std::string PathParts::SetFromModule(HMODULE module) {
    return ApplyModulePath(ModuleFilePath(module));
}
#endif

bool PathParts::Exists() const {
    return PathExists(ExistenceQuery(fullPath));
}

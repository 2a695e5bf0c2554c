#include "ToolFiles.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "util/Cp1251.h"
#endif

namespace toolfiles {

#ifdef _WIN32
constexpr char kSeparator = '\\';

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool MoveIntoPlace(const std::string& from, const std::string& to, bool replace) {
    return MoveFileExA(from.c_str(), to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) != 0;
}

bool Remove(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}
#else
constexpr char kSeparator = '/';

bool Exists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

bool MoveIntoPlace(const std::string& from, const std::string& to, bool replace) {
    if (replace) {
        return std::rename(from.c_str(), to.c_str()) == 0;
    }
    // link fails when to exists, so a file that appeared meanwhile is never replaced.
    if (link(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    unlink(from.c_str());
    return true;
}

bool Remove(const std::string& path) {
    return unlink(path.c_str()) == 0;
}
#endif

std::string FolderOf(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string JoinMediumPath(const std::string& root, const std::string& relative) {
    std::string below = relative;
#ifndef _WIN32
    // Catalogue texts are cp1251; names on this system are UTF-8.
    below = cp1251::ToUtf8(below);
#endif
    for (char& c : below) {
        if (c == '\\' || c == '/') c = kSeparator;
    }
    std::size_t skip = 0;
    while (skip < below.size() && below[skip] == kSeparator) ++skip;
    std::string joined = root;
    if (!joined.empty() && joined.back() != '/' && joined.back() != '\\') joined += kSeparator;
    return joined + below.substr(skip);
}

}  // namespace toolfiles

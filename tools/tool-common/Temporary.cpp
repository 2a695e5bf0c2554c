#include "Temporary.h"

#include "ToolFiles.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#endif

namespace toolfiles {

namespace fs = std::filesystem;

namespace {

void RemoveAll(const fs::path& path) {
    std::error_code ignored;
    if (!path.empty()) fs::remove_all(path, ignored);
}

#ifdef _WIN32
bool MakeUnique(const RunMark&, const fs::path& target, bool folder, fs::path& made,
                FileDescriptor&, std::string& reason) {
    wchar_t name[MAX_PATH + 1];
    for (int attempt = 0; attempt < 8; ++attempt) {
        if (GetTempFileNameW(FolderOf(target).c_str(), L"cto", 0, name) == 0) break;
        made = name;
        if (!folder) return true;
        DeleteFileW(name);
        if (CreateDirectoryW(name, nullptr)) return true;
    }
    reason = LastSystemError();
    return false;
}
#else
bool MakeUnique(const RunMark& mark, const fs::path&, bool folder, fs::path& made,
                FileDescriptor& fd, std::string& reason) {
    std::string pattern = mark.Pattern();
    if (!folder) fd.Reset(mkostemp(&pattern[0], O_CLOEXEC));
    if (folder ? mkdtemp(&pattern[0]) == nullptr : fd.Get() < 0) {
        reason = LastSystemError();
        return false;
    }
    made = pattern;
    return true;
}
#endif

}  // namespace

Temporary::~Temporary() {
    RemoveAll(path);
}

Temporary::Temporary(Temporary&& other) noexcept
    : mark(std::move(other.mark)), path(std::move(other.path)), fd(std::move(other.fd)) {
    other.path.clear();
}

Temporary& Temporary::operator=(Temporary&& other) noexcept {
    if (this != &other) {
        RemoveAll(path);
        mark = std::move(other.mark);
        path = std::move(other.path);
        fd = std::move(other.fd);
        other.path.clear();
    }
    return *this;
}

fs::path Temporary::ThroughDescriptor() const {
#ifdef _WIN32
    return path;
#else
    return fd.Get() < 0 ? path : fs::path("/proc/self/fd/" + std::to_string(fd.Get()));
#endif
}

bool Temporary::StillMade() const {
#ifdef _WIN32
    return true;
#else
    struct stat named;
    struct stat opened;
    return fd.Get() >= 0 && lstat(path.c_str(), &named) == 0 && fstat(fd.Get(), &opened) == 0 &&
           named.st_dev == opened.st_dev && named.st_ino == opened.st_ino;
#endif
}

bool Temporary::MakeBeside(const fs::path& target, bool folder, Temporary& made,
                           std::string& error) {
    const std::string kind = folder ? "folder" : "file";
    const std::size_t longest = LongestTargetName(FolderOf(target));
    if (target.filename().u8string().size() > longest) {
        error = ToArgument(target) + ": the name is too long to write a temporary " + kind +
                " beside it (at most " + std::to_string(longest) + " bytes)";
        return false;
    }
    std::string reason;
    std::shared_ptr<RunMark> mark = RunMark::Beside(target, reason);
    fs::path path;
    FileDescriptor fd;
    if (!mark || !MakeUnique(*mark, target, folder, path, fd, reason)) {
        error = ToArgument(target) + ": cannot make a temporary " + kind + " beside it (" + reason +
                ")";
        return false;
    }
    made = Temporary();
    made.mark = std::move(mark);
    made.path = path;
    made.fd = std::move(fd);
    return true;
}

std::size_t LongestTargetName(const fs::path& folder) {
    const std::size_t longest = LongestName(folder);
    return longest > kMarkSuffixLength ? longest - kMarkSuffixLength : 0;
}

bool ReplaceAtomically(const fs::path& target, bool replace, const FileWriter& write,
                       std::string& error) {
    Temporary made;
    if (!Temporary::MakeBeside(target, false, made, error) ||
        !write(made.ThroughDescriptor(), error)) {
        return false;
    }
    if (!made.StillMade()) {
        error = ToArgument(made.Path()) + ": was replaced while it was written";
        return false;
    }
    if (!MoveIntoPlace(made.Path(), target, replace)) {
        error = ToArgument(target) + ": cannot be " +
                (replace ? "replaced" : "created (it may exist now)");
        return false;
    }
    made.Release();
    return true;
}

}  // namespace toolfiles

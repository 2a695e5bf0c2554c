#include "ToolFiles.h"

#include "util/ModuleFile.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#endif

namespace toolfiles {

namespace fs = std::filesystem;

fs::path OwnProgramFolder() {
    const std::string program = OwnProgramPath();
    return program.empty() ? fs::path() : fs::u8path(program).parent_path();
}

fs::path FromArgument(const std::string& name) {
    return fs::u8path(name);
}

std::string ToArgument(const fs::path& path) {
    return path.u8string();
}

fs::path FolderOf(const fs::path& target) {
    const fs::path folder = target.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

bool Exists(const std::string& path) {
    std::error_code code;
    return fs::exists(FromArgument(path), code);
}

bool Present(const fs::path& path) {
    std::error_code code;
    return fs::exists(fs::symlink_status(path, code));
}

#ifdef _WIN32
namespace {

// 100-nanosecond steps from 1601 to 1970.
constexpr std::int64_t kEpochOffset = 116444736000000000LL;

class FileHandle {
  public:
    explicit FileHandle(HANDLE h) : handle(h) {}
    ~FileHandle() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    HANDLE Get() const { return handle; }

  private:
    HANDLE handle;
};

FileHandle OpenAttributes(const fs::path& path, DWORD access) {
    return FileHandle(CreateFileW(path.c_str(), access,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

}  // namespace

bool MoveIntoPlace(const fs::path& from, const fs::path& to, bool replace) {
    return MoveFileExW(from.c_str(), to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) != 0;
}

bool LastMoveFoundTarget() {
    const DWORD failure = GetLastError();
    return failure == ERROR_ALREADY_EXISTS || failure == ERROR_FILE_EXISTS;
}

std::string LastSystemError() {
    return "system error " + std::to_string(GetLastError());
}

bool SetModificationTime(const fs::path& path, std::int64_t seconds) {
    FileHandle file = OpenAttributes(path, FILE_WRITE_ATTRIBUTES);
    if (file.Get() == INVALID_HANDLE_VALUE) return false;
    const std::int64_t ticks = seconds * 10000000LL + kEpochOffset;
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return SetFileTime(file.Get(), nullptr, &time, &time) != 0;
}

std::int64_t ModificationTime(const fs::path& path) {
    FileHandle file = OpenAttributes(path, FILE_READ_ATTRIBUTES);
    FILETIME time;
    if (file.Get() == INVALID_HANDLE_VALUE || !GetFileTime(file.Get(), nullptr, nullptr, &time))
        return -1;
    const std::int64_t ticks =
        (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return (ticks - kEpochOffset) / 10000000LL;
}

std::int64_t FreeBytes(const fs::path& path) {
    ULARGE_INTEGER available;
    if (!GetDiskFreeSpaceExW(path.c_str(), &available, nullptr, nullptr)) return -1;
    return static_cast<std::int64_t>(available.QuadPart);
}

std::size_t LongestName(const fs::path&) {
    return 255;
}
#else
bool MoveIntoPlace(const fs::path& from, const fs::path& to, bool replace) {
    if (replace) return std::rename(from.c_str(), to.c_str()) == 0;
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the no-replace move: link fails when to exists, so a file that
    // appeared meanwhile is never replaced. A folder cannot be moved so there.
    struct stat info;
    if (lstat(from.c_str(), &info) != 0) return false;
    if (S_ISDIR(info.st_mode)) {
        errno = EOPNOTSUPP;
        return false;
    }
    if (link(from.c_str(), to.c_str()) != 0) return false;
    unlink(from.c_str());
    return true;
}

bool LastMoveFoundTarget() {
    return errno == EEXIST || errno == ENOTEMPTY;
}

std::string LastSystemError() {
    return std::strerror(errno);
}

bool SetModificationTime(const fs::path& path, std::int64_t seconds) {
    struct timespec times[2];
    times[0].tv_sec = static_cast<time_t>(seconds);
    times[0].tv_nsec = 0;
    times[1] = times[0];
    return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

std::int64_t ModificationTime(const fs::path& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return -1;
    return static_cast<std::int64_t>(info.st_mtime);
}

std::int64_t FreeBytes(const fs::path& path) {
    struct statvfs info;
    if (statvfs(path.c_str(), &info) != 0) return -1;
    return static_cast<std::int64_t>(info.f_bavail) * static_cast<std::int64_t>(info.f_frsize);
}

std::size_t LongestName(const fs::path& folder) {
    const long longest = pathconf(folder.empty() ? "." : folder.c_str(), _PC_NAME_MAX);
    return longest > 0 ? static_cast<std::size_t>(longest) : 255;
}
#endif

}  // namespace toolfiles

#include "MediumFiles.h"

#ifdef _WIN32
#include <windows.h>

#include <vector>
#else
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace mediumfiles {

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

FileHandle OpenAttributes(const std::filesystem::path& path, DWORD access) {
    return FileHandle(CreateFileW(path.c_str(), access,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

}  // namespace

std::filesystem::path FromArgument(const std::string& name) {
    if (name.empty()) return std::filesystem::path();
    const int length =
        MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, name.data(), static_cast<int>(name.size()), &wide[0], length);
    return std::filesystem::path(wide);
}

std::string ToArgument(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty()) return std::string();
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string name(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &name[0], length,
                        nullptr, nullptr);
    return name;
}

bool SetModificationTime(const std::filesystem::path& path, std::int64_t seconds) {
    FileHandle file = OpenAttributes(path, FILE_WRITE_ATTRIBUTES);
    if (file.Get() == INVALID_HANDLE_VALUE) return false;
    const std::int64_t ticks = seconds * 10000000LL + kEpochOffset;
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFF);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    return SetFileTime(file.Get(), nullptr, &time, &time) != 0;
}

std::int64_t ModificationTime(const std::filesystem::path& path) {
    FileHandle file = OpenAttributes(path, FILE_READ_ATTRIBUTES);
    FILETIME time;
    if (file.Get() == INVALID_HANDLE_VALUE || !GetFileTime(file.Get(), nullptr, nullptr, &time))
        return -1;
    const std::int64_t ticks =
        (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return (ticks - kEpochOffset) / 10000000LL;
}

std::filesystem::path OwnProgramFolder() {
    std::vector<wchar_t> name(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return std::filesystem::path();
        if (length < name.size()) {
            return std::filesystem::path(std::wstring(name.data(), length)).parent_path();
        }
        name.resize(name.size() * 2);
    }
}
#else
std::filesystem::path FromArgument(const std::string& name) {
    return std::filesystem::path(name);
}

std::string ToArgument(const std::filesystem::path& path) {
    return path.native();
}

bool SetModificationTime(const std::filesystem::path& path, std::int64_t seconds) {
    struct timespec times[2];
    times[0].tv_sec = static_cast<time_t>(seconds);
    times[0].tv_nsec = 0;
    times[1] = times[0];
    return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

std::int64_t ModificationTime(const std::filesystem::path& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) return -1;
    return static_cast<std::int64_t>(info.st_mtime);
}

std::filesystem::path OwnProgramFolder() {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : self.parent_path();
}
#endif

}  // namespace mediumfiles

#include "catalog/DiskFile.h"

#ifdef _WIN32
#include <windows.h>

#include "util/WideText.h"
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#endif

DiskFile::DiskFile(DiskFile&& other) noexcept : handle(other.handle), writing(other.writing) {
    other.handle = kNoHandle;
}

DiskFile& DiskFile::operator=(DiskFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle = other.handle;
        writing = other.writing;
        other.handle = kNoHandle;
    }
    return *this;
}

DiskFile::~DiskFile() {
    Close();
}

#ifdef _WIN32

// Disk access for Windows through CreateFileW, ReadFile and WriteFile. A reader shares the file
// with other readers (a scanner, a backup, a second installer) and with no writer; a writer shares
// it with nobody. Paths are UTF-8 and reach the system as UTF-16.

namespace {

HANDLE AsHandle(std::intptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}

}  // namespace

DiskFile DiskFile::OpenForReading(const std::string& path) {
    HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return DiskFile();
    }
    return DiskFile(reinterpret_cast<std::intptr_t>(file), false);
}

bool DiskFile::CreateEmpty(const std::string& path) {
    HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

DiskFile DiskFile::CreateForWriting(const std::string& path, Create mode) {
    const DWORD disposition = mode == Create::ReplaceExisting ? CREATE_ALWAYS : CREATE_NEW;
    HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, 0, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return DiskFile();
    }
    return DiskFile(reinterpret_cast<std::intptr_t>(file), true);
}

std::int64_t DiskFile::Read(void* buffer, std::size_t size) {
    if (!IsOpen() || writing) {
        return kReadError;
    }
    DWORD n = 0;
    if (!ReadFile(AsHandle(handle), buffer, static_cast<DWORD>(size), &n, nullptr)) {
        return kReadError;
    }
    return n;
}

std::int64_t DiskFile::Size() const {
    LARGE_INTEGER size;
    if (!IsOpen() || GetFileType(AsHandle(handle)) != FILE_TYPE_DISK ||
        !GetFileSizeEx(AsHandle(handle), &size)) {
        return -1;
    }
    return size.QuadPart;
}

bool DiskFile::Write(const void* data, std::size_t size) {
    if (!IsOpen() || !writing) {
        return false;
    }
    DWORD written = 0;
    return WriteFile(AsHandle(handle), data, static_cast<DWORD>(size), &written, nullptr) &&
           written == size;
}

void DiskFile::Close() {
    if (!IsOpen()) {
        return;
    }
    CloseHandle(AsHandle(handle));
    handle = kNoHandle;
}

#else

// Disk access for POSIX systems. Sharing is an advisory lock (flock) taken right after opening,
// shared for a reader and exclusive for a writer, so openers of this class admit each other as
// the Windows sharing modes do.

namespace {

bool LockExclusive(int fd) {
    return flock(fd, LOCK_EX | LOCK_NB) == 0;
}

bool LockShared(int fd) {
    return flock(fd, LOCK_SH | LOCK_NB) == 0;
}

}  // namespace

DiskFile DiskFile::OpenForReading(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return DiskFile();
    }
    if (!LockShared(fd)) {
        close(fd);
        return DiskFile();
    }
    return DiskFile(fd, false);
}

bool DiskFile::CreateEmpty(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    close(fd);
    return true;
}

DiskFile DiskFile::CreateForWriting(const std::string& path, Create mode) {
    int flags = O_WRONLY | O_CREAT | O_CLOEXEC;
    if (mode == Create::NewOnly) {
        flags |= O_EXCL;
    }
    const int fd = open(path.c_str(), flags, 0644);
    if (fd < 0) {
        return DiskFile();
    }
    // Truncate only once the file is ours, so a file another opener holds is left whole.
    // Devices cannot be truncated (EINVAL) and are written as they are.
    if (!LockExclusive(fd) ||
        (mode == Create::ReplaceExisting && ftruncate(fd, 0) != 0 && errno != EINVAL)) {
        close(fd);
        return DiskFile();
    }
    return DiskFile(fd, true);
}

std::int64_t DiskFile::Read(void* buffer, std::size_t size) {
    if (!IsOpen()) {
        return kReadError;
    }
    for (;;) {
        const ssize_t n = read(static_cast<int>(handle), buffer, size);
        if (n >= 0) {
            return n;
        }
        if (errno != EINTR) {
            return kReadError;
        }
    }
}

std::int64_t DiskFile::Size() const {
    struct stat status;
    if (!IsOpen() || fstat(static_cast<int>(handle), &status) != 0 || !S_ISREG(status.st_mode)) {
        return -1;
    }
    return static_cast<std::int64_t>(status.st_size);
}

bool DiskFile::Write(const void* data, std::size_t size) {
    if (!IsOpen()) {
        return false;
    }
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(static_cast<int>(handle), p, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

void DiskFile::Close() {
    if (IsOpen()) {
        close(static_cast<int>(handle));
        handle = kNoHandle;
    }
}

#endif

// Disk access for POSIX systems. Sharing is an exclusive advisory lock (flock) taken right after
// opening, so two openers of this class exclude each other as the Windows sharing modes do.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "catalog/DiskFile.h"

namespace {

bool LockExclusive(int fd) {
    return flock(fd, LOCK_EX | LOCK_NB) == 0;
}

}  // namespace

DiskFile DiskFile::OpenForReading(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return DiskFile();
    }
    if (!LockExclusive(fd)) {
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

#include "FileCopy.h"

#include "FileDescriptor.h"
#include "Interruption.h"
#include "ToolFiles.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>
#endif

namespace fs = std::filesystem;

#ifdef _WIN32
bool CopyFileContents(const fs::path& from, const fs::path& to, std::string& error) {
    if (CopyFileW(from.c_str(), to.c_str(), TRUE)) return true;
    const DWORD failure = GetLastError();
    error = failure == ERROR_DISK_FULL || failure == ERROR_HANDLE_DISK_FULL
                ? toolfiles::ToArgument(to) + ": the disk is full"
                : toolfiles::ToArgument(from) + ": cannot be copied (system error " +
                      std::to_string(failure) + ")";
    return false;
}
#else
namespace {

using Fd = toolfiles::FileDescriptor;

bool IsTargetFailure(int failure) {
    return failure == ENOSPC || failure == EDQUOT || failure == EFBIG;
}

// Copies length bytes at offset: in the kernel, or through a buffer where it cannot.
int CopyRange(int in, int out, off_t offset, off_t length) {
    bool kernel = true;
    bool sendFile = true;
    std::vector<char> buffer;
    while (length > 0) {
        if (interruption::Signal() != 0) return EINTR;
        const std::size_t step = static_cast<std::size_t>(std::min<off_t>(length, 1 << 30));
        ssize_t n = -1;
        if (kernel) {
            loff_t inAt = offset;
            loff_t outAt = offset;
            n = copy_file_range(in, &inAt, out, &outAt, step, 0);
            if (n < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS ||
                          errno == EOPNOTSUPP || errno == EPERM)) {
                kernel = false;
                continue;
            }
        } else if (sendFile) {
            if (lseek(out, offset, SEEK_SET) < 0) return errno;
            off_t inAt = offset;
            n = sendfile(out, in, &inAt, step);
            if (n < 0 && (errno == EINVAL || errno == ENOSYS)) {
                sendFile = false;
                continue;
            }
        } else {
            buffer.resize(1 << 20);
            n = pread(in, buffer.data(), std::min(step, buffer.size()), offset);
            if (n > 0) {
                for (ssize_t done = 0; done < n;) {
                    const ssize_t w = pwrite(out, buffer.data() + done,
                                             static_cast<std::size_t>(n - done), offset + done);
                    if (w < 0 && errno != EINTR) return errno;
                    if (w > 0) done += w;
                }
            }
        }
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        if (n == 0) return EIO;  // the file became shorter meanwhile
        offset += n;
        length -= n;
    }
    return 0;
}

}  // namespace

bool CopyFileContents(const fs::path& from, const fs::path& to, std::string& error) {
    // Not blocking: a FIFO in the file's place is refused rather than waited on.
    Fd in(open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info;
    if (in.Get() < 0 || fstat(in.Get(), &info) != 0) {
        error = toolfiles::ToArgument(from) + ": cannot be read (" + std::strerror(errno) + ")";
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = toolfiles::ToArgument(from) + ": is not a plain file";
        return false;
    }
    return CopyOpenFile(in.Get(), info.st_size, from, to, error);
}

bool CopyOpenFile(int input, off_t size, const fs::path& from, const fs::path& to,
                  std::string& error) {
    Fd out(open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (out.Get() < 0) {
        error = toolfiles::ToArgument(to) + ": cannot be created (" + std::strerror(errno) + ")";
        return false;
    }
    int failure = 0;
    // Data runs only: the holes between them stay holes.
    for (off_t at = 0; at < size && failure == 0;) {
        off_t data = lseek(input, at, SEEK_DATA);
        if (data < 0) {
            if (errno == ENXIO) break;  // only a hole is left
            data = at;                  // the file system does not tell: copy everything
        }
        off_t hole = lseek(input, data, SEEK_HOLE);
        if (hole < 0 || hole > size) hole = size;
        failure = CopyRange(input, out.Get(), data, hole - data);
        at = hole;
    }
    if (failure == 0 && ftruncate(out.Get(), size) != 0) failure = errno;
    if (failure == 0) return true;
    if (failure == EINTR) {
        error = toolfiles::ToArgument(to) + ": interrupted";
    } else if (failure == ENOSPC || failure == EDQUOT) {
        error = toolfiles::ToArgument(to) + ": the disk is full (" + std::strerror(failure) +
                "), copying " + toolfiles::ToArgument(from);
    } else if (IsTargetFailure(failure)) {
        error = toolfiles::ToArgument(to) + ": cannot be written (" + std::strerror(failure) + ")";
    } else {
        error = toolfiles::ToArgument(from) + ": cannot be copied to " + toolfiles::ToArgument(to) +
                " (" + std::strerror(failure) + ")";
    }
    return false;
}
#endif

#pragma once

#include <utility>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace toolfiles {

// Owns one open file descriptor and closes it when it goes; -1 owns nothing.
class FileDescriptor {
  public:
    FileDescriptor() = default;
    explicit FileDescriptor(int descriptor) : fd(descriptor) {}
    ~FileDescriptor() { Reset(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd(other.Release()) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }

    int Get() const { return fd; }
    // Closes the descriptor owned so far and takes descriptor.
    void Reset(int descriptor = -1) {
#ifdef _WIN32
        if (fd >= 0) _close(fd);
#else
        if (fd >= 0) close(fd);
#endif
        fd = descriptor;
    }
    // Gives the descriptor up without closing it.
    int Release() {
        return std::exchange(fd, -1);
    }

  private:
    int fd = -1;
};

}  // namespace toolfiles

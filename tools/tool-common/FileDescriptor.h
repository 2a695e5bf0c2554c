#pragma once

#ifndef _WIN32
#include <unistd.h>

namespace toolfiles {

// Owns one open POSIX file descriptor and closes it when it goes; -1 owns nothing.
class FileDescriptor {
  public:
    explicit FileDescriptor(int descriptor) : fd(descriptor) {}
    ~FileDescriptor() {
        if (fd >= 0) close(fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return fd; }

  private:
    int fd;
};

}  // namespace toolfiles
#endif

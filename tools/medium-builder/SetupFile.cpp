#include "SetupFile.h"

#include "FileCopy.h"
#include "ToolFiles.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace setupfile {

namespace fs = std::filesystem;

namespace {

const fs::perms kFileMode =
    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read | fs::perms::others_read;

bool Finish(const fs::path& to, std::int64_t seconds, std::string& error) {
    std::error_code code;
    fs::permissions(to, kFileMode, code);
    if (code || !toolfiles::SetModificationTime(to, seconds)) {
        error = toolfiles::ToArgument(to) + ": cannot be given its mode and date";
        return false;
    }
    return true;
}

}  // namespace

#ifdef _WIN32
bool Place(const setuptree::Entry& entry, const fs::path& to, bool, std::int64_t seconds,
           bool& linked, std::string& error) {
    linked = false;
    return CopyFileContents(entry.source, to, error) && Finish(to, seconds, error);
}
#else
bool Place(const setuptree::Entry& entry, const fs::path& to, bool mayLink, std::int64_t seconds,
           bool& linked, std::string& error) {
    linked = false;
    const std::string name = toolfiles::ToArgument(entry.source);
    struct stat info;
    const toolfiles::FileDescriptor in = setuptree::OpenAsScanned(entry, info);
    if (in.Get() < 0) {
        error = name + ": cannot be read (" + std::strerror(errno) + ")";
        return false;
    }
    if (!S_ISREG(info.st_mode) || static_cast<std::uint64_t>(info.st_dev) != entry.device ||
        static_cast<std::uint64_t>(info.st_ino) != entry.inode) {
        error = name + ": was exchanged for another file after it was checked";
        return false;
    }
    if (mayLink && static_cast<std::uintmax_t>(info.st_size) >= kLinkFrom) {
        // The link is made to the file open here, whatever stands at its name by now.
        const std::string opened = "/proc/self/fd/" + std::to_string(in.Get());
        if (linkat(AT_FDCWD, opened.c_str(), AT_FDCWD, to.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            linked = true;
            return true;
        }
        // Another file system, or a file of another owner: copied instead.
    }
    return CopyOpenFile(in.Get(), info.st_size, entry.source, to, error) &&
           Finish(to, seconds, error);
}
#endif

}  // namespace setupfile

#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "FileDescriptor.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

// The set-up programs' folder as it goes onto the medium. A link is followed only when it leads
// to a file or folder inside the folder, and not to a folder it lies in (a loop); a link out of
// the folder, a loop and a link to nothing are problems, as is anything that is neither file
// nor folder, or a file that cannot be read.
namespace setuptree {

struct Entry {
    std::filesystem::path relative;  // as on the medium
    std::filesystem::path source;    // where its bytes are read
    bool folder = false;
    std::uintmax_t size = 0;
    bool link = false;  // source is a link inside the folder, followed
    // The file the scan saw (natively; 0 where the system does not tell): what is built from it
    // later has to be this very file.
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

struct Problem {
    std::string text;  // the path and what is wrong with it
    bool unreadable;   // it cannot be read, rather than it may not go onto a medium
};

// Every file and folder below root, sorted so that a folder comes before its contents; every
// problem found on the way is added.
std::vector<Entry> List(const std::filesystem::path& root, std::vector<Problem>& problems);

#ifndef _WIN32
// Opens entry's file for reading as the scan does: a link only where the scan followed one, and
// without waiting on a FIFO found in its place. info is what the open file is; -1 (errno set)
// when it cannot be opened or looked at.
toolfiles::FileDescriptor OpenAsScanned(const Entry& entry, struct stat& info);
#endif

}  // namespace setuptree

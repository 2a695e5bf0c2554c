#include "SetupTree.h"

#include <algorithm>
#include <fstream>

#include "ToolFiles.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#endif
#include "WindowsNames.h"

namespace setuptree {

namespace fs = std::filesystem;

namespace {

bool Inside(const fs::path& path, const fs::path& folder) {
    const auto differ = std::mismatch(folder.begin(), folder.end(), path.begin(), path.end());
    return differ.first == folder.end();
}

// Opens the file as the build will (without following a link where there is none), notes which
// file it is and its size; false when it cannot be read.
bool Identify(Entry& entry, std::string& why) {
#ifdef _WIN32
    why.clear();
    std::ifstream readable(entry.source, std::ios::binary);
    std::error_code code;
    entry.size = fs::file_size(entry.source, code);
    return static_cast<bool>(readable);
#else
    struct stat info;
    if (OpenAsScanned(entry, info).Get() < 0 || !S_ISREG(info.st_mode)) {
        why = std::string(" (") + std::strerror(errno) + ")";
        return false;
    }
    entry.size = static_cast<std::uintmax_t>(info.st_size);
    entry.device = static_cast<std::uint64_t>(info.st_dev);
    entry.inode = static_cast<std::uint64_t>(info.st_ino);
    return true;
#endif
}

class Walk {
  public:
    Walk(std::vector<Entry>& entries, std::vector<setuptree::Problem>& problems)
        : entries(entries), problems(problems) {}

    // Lists the folder whose real place is canonical, shown as relative on the medium.
    void Folder(const fs::path& source, const fs::path& relative, const fs::path& canonical) {
        ancestors.push_back(canonical);
        std::error_code code;
        std::vector<fs::path> children;
        for (fs::directory_iterator it(source, code), end; !code && it != end; it.increment(code))
            children.push_back(it->path());
        if (code) Unreadable(source, "cannot be listed (" + code.message() + ")");
        std::sort(children.begin(), children.end());
        for (const fs::path& child : children) Item(child, relative / child.filename());
        ancestors.pop_back();
    }

  private:
    void Item(const fs::path& source, const fs::path& relative) {
        std::error_code code;
        const fs::file_status own = fs::symlink_status(source, code);
        fs::path real = source;
        if (fs::is_symlink(own)) {
            const fs::path target = fs::read_symlink(source, code);
            real = fs::canonical(source, code);
            if (code) {
                const bool loop = code == std::errc::too_many_symbolic_link_levels;
                Refuse(source,
                       loop ? "is a link loop (-> " + toolfiles::ToArgument(target) + ")"
                            : "is a link to nothing (-> " + toolfiles::ToArgument(target) + ")");
                return;
            }
            if (!Inside(real, ancestors.front())) {
                Refuse(source, "is a link out of the set-up programs' folder (-> " +
                                   toolfiles::ToArgument(target) + ")");
                return;
            }
            if (fs::is_directory(real, code) &&
                std::find_if(ancestors.begin(), ancestors.end(), [&](const fs::path& a) {
                    return Inside(a, real);
                }) != ancestors.end()) {
                Refuse(source, "is a link loop: it leads to a folder it lies in (-> " +
                                   toolfiles::ToArgument(target) + ")");
                return;
            }
        } else {
            real = ancestors.back() / source.filename();
        }
        const fs::file_status status = fs::status(source, code);
        if (code) {
            Unreadable(source, "cannot be read (" + code.message() + ")");
            return;
        }
        if (fs::is_directory(status)) {
            entries.push_back({relative, source, true, 0});
            Folder(source, relative, real);
        } else if (fs::is_regular_file(status)) {
            Entry entry{relative, source, false, 0, fs::is_symlink(own)};
            std::string why;
            if (!Identify(entry, why)) {
                Unreadable(source, "cannot be read" + why);
                return;
            }
            entries.push_back(entry);
        } else {
            Refuse(source, "is neither a file nor a folder");
        }
    }

    void Refuse(const fs::path& path, const std::string& what) {
        problems.push_back({windowsnames::Shown(toolfiles::ToArgument(path)) + ": " + what, false});
    }
    void Unreadable(const fs::path& path, const std::string& what) {
        problems.push_back({windowsnames::Shown(toolfiles::ToArgument(path)) + ": " + what, true});
    }

    std::vector<Entry>& entries;
    std::vector<setuptree::Problem>& problems;
    std::vector<fs::path> ancestors;  // real places of the folders being listed, root first
};

}  // namespace

#ifndef _WIN32
toolfiles::FileDescriptor OpenAsScanned(const Entry& entry, struct stat& info) {
    toolfiles::FileDescriptor fd(open(
        entry.source.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | (entry.link ? 0 : O_NOFOLLOW)));
    if (fd.Get() >= 0 && fstat(fd.Get(), &info) != 0) {
        const int failure = errno;
        fd.Reset();
        errno = failure;
    }
    return fd;
}
#endif

std::vector<Entry> List(const fs::path& root, std::vector<setuptree::Problem>& problems) {
    std::vector<Entry> entries;
    std::error_code code;
    const fs::path canonical = fs::canonical(root, code);
    if (code) {
        problems.push_back(
            {toolfiles::ToArgument(root) + ": cannot be read (" + code.message() + ")", true});
        return entries;
    }
    Walk(entries, problems).Folder(root, fs::path(), canonical);
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.relative < b.relative; });
    return entries;
}

}  // namespace setuptree

#include "Temporary.h"

#include <cerrno>
#include <cstring>

#include "ToolFiles.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>
#endif

namespace toolfiles {

namespace fs = std::filesystem;

namespace {

const char kMark[] = ".tmp-catalog-tool-";
// The mark, a process id of up to ten digits, '-' and six unique characters.
constexpr std::size_t kSuffixLength = sizeof kMark - 1 + 10 + 1 + 6;

std::string Prefix(const fs::path& target) {
    return target.filename().u8string() + kMark;
}

fs::path FolderOf(const fs::path& target) {
    const fs::path folder = target.parent_path();
    return folder.empty() ? fs::path(".") : folder;
}

void RemoveAll(const fs::path& path) {
    std::error_code ignored;
    if (!path.empty()) fs::remove_all(path, ignored);
}

#ifdef _WIN32
long OwnProcess() {
    return static_cast<long>(GetCurrentProcessId());
}

bool ProcessIsGone(long) {
    return false;  // without a safe test, the leftovers of other runs are kept
}

bool MakeUnique(const fs::path& target, bool folder, fs::path& made, int& failure) {
    wchar_t name[MAX_PATH + 1];
    for (int attempt = 0; attempt < 8; ++attempt) {
        if (GetTempFileNameW(FolderOf(target).c_str(), L"cto", 0, name) == 0) {
            failure = static_cast<int>(GetLastError());
            return false;
        }
        made = name;
        if (!folder) return true;
        DeleteFileW(name);
        if (CreateDirectoryW(name, nullptr)) return true;
    }
    failure = static_cast<int>(GetLastError());
    return false;
}

std::string Reason(int failure) {
    return "system error " + std::to_string(failure);
}
#else
long OwnProcess() {
    return static_cast<long>(getpid());
}

bool ProcessIsGone(long process) {
    return kill(static_cast<pid_t>(process), 0) != 0 && errno == ESRCH;
}

bool MakeUnique(const fs::path& target, bool folder, fs::path& made, int& failure) {
    std::string pattern =
        (FolderOf(target) / (Prefix(target) + std::to_string(OwnProcess()) + "-XXXXXX")).native();
    if (folder) {
        if (mkdtemp(&pattern[0]) == nullptr) {
            failure = errno;
            return false;
        }
    } else {
        const int fd = mkstemp(&pattern[0]);
        if (fd < 0) {
            failure = errno;
            return false;
        }
        close(fd);
    }
    made = pattern;
    return true;
}

std::string Reason(int failure) {
    return std::strerror(failure);
}
#endif

}  // namespace

Temporary::~Temporary() {
    RemoveAll(path);
}

Temporary::Temporary(Temporary&& other) noexcept : path(std::move(other.path)) {
    other.path.clear();
}

Temporary& Temporary::operator=(Temporary&& other) noexcept {
    if (this != &other) {
        RemoveAll(path);
        path = std::move(other.path);
        other.path.clear();
    }
    return *this;
}

bool Temporary::MakeBeside(const fs::path& target, bool folder, Temporary& made,
                           std::string& error) {
    const std::string kind = folder ? "folder" : "file";
    const std::size_t longest = LongestTargetName(FolderOf(target));
    if (target.filename().u8string().size() > longest) {
        error = ToArgument(target) + ": the name is too long to write a temporary " + kind +
                " beside it (at most " + std::to_string(longest) + " bytes)";
        return false;
    }
    fs::path path;
    int failure = 0;
    if (!MakeUnique(target, folder, path, failure)) {
        error = ToArgument(target) + ": cannot make a temporary " + kind + " beside it (" +
                Reason(failure) + ")";
        return false;
    }
    made = Temporary();
    made.path = path;
    return true;
}

std::size_t LongestTargetName(const fs::path& folder) {
    const std::size_t longest = LongestName(folder);
    return longest > kSuffixLength ? longest - kSuffixLength : 0;
}

std::vector<fs::path> RemoveLeftovers(const fs::path& target) {
    std::vector<fs::path> removed;
    const std::string prefix = Prefix(target);
    std::error_code code;
    for (fs::directory_iterator it(FolderOf(target), code), end; !code && it != end;
         it.increment(code)) {
        const std::string name = it->path().filename().u8string();
        if (name.compare(0, prefix.size(), prefix) != 0) continue;
        const std::size_t digits = name.find('-', prefix.size());
        if (digits == std::string::npos || digits == prefix.size()) continue;
        long process = 0;
        try {
            process = std::stol(name.substr(prefix.size(), digits - prefix.size()));
        } catch (const std::exception&) {
            continue;
        }
        if (process == OwnProcess() || !ProcessIsGone(process)) continue;
        RemoveAll(it->path());
        removed.push_back(it->path());
    }
    return removed;
}

bool ReplaceAtomically(const fs::path& target, bool replace, const FileWriter& write,
                       std::string& error) {
    Temporary made;
    if (!Temporary::MakeBeside(target, false, made, error) || !write(made.Path(), error)) {
        return false;
    }
    if (!MoveIntoPlace(made.Path(), target, replace)) {
        error = ToArgument(target) + ": cannot be " +
                (replace ? "replaced" : "created (it may exist now)");
        return false;
    }
    made.Release();
    return true;
}

void Publication::Add(Temporary&& made, const fs::path& target) {
    items.push_back(Item{std::move(made), target, fs::path(), false});
}

bool Publication::Commit(std::string& error) {
    std::error_code code;
    for (Item& item : items) {
        if (fs::exists(fs::symlink_status(item.target, code))) {
            // A free name beside the target, to set the old one aside under.
            Temporary aside;
            if (!Temporary::MakeBeside(item.target, false, aside, error)) {
                RollBack();
                return false;
            }
            fs::path old = aside.Path();
            RemoveAll(old);
            aside.Release();
            fs::rename(item.target, old, code);
            if (code) {
                error = ToArgument(item.target) + ": cannot be replaced (" + code.message() + ")";
                RollBack();
                return false;
            }
            item.oldPath = old;
        }
        fs::rename(item.made.Path(), item.target, code);
        if (code) {
            error = ToArgument(item.target) + ": cannot be created (" + code.message() + ")";
            RollBack();
            return false;
        }
        item.placed = true;
    }
    for (Item& item : items) {
        item.made.Release();
        RemoveAll(item.oldPath);
    }
    return true;
}

void Publication::RollBack() {
    std::error_code ignored;
    for (Item& item : items) {
        if (item.placed) fs::rename(item.target, item.made.Path(), ignored);
        if (!item.oldPath.empty()) fs::rename(item.oldPath, item.target, ignored);
        item.placed = false;
        item.oldPath.clear();
    }
}

}  // namespace toolfiles

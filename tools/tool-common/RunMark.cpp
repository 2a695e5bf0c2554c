#include "RunMark.h"

#include <algorithm>
#include <map>

#include "ToolFiles.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#endif

namespace toolfiles {

namespace fs = std::filesystem;

#ifdef _WIN32
// The system names the temporaries (see Temporary.cpp); no lock, and nothing is swept.
RunMark::~RunMark() = default;

std::shared_ptr<RunMark> RunMark::Beside(const fs::path& target, std::string&) {
    std::shared_ptr<RunMark> mark(new RunMark());
    mark->lockPath = ToArgument(target);
    return mark;
}

fs::path RunMark::Aside() const {
    const fs::path target = FromArgument(lockPath);
    wchar_t name[MAX_PATH + 1];
    if (GetTempFileNameW(FolderOf(target).c_str(), L"cto", 0, name) == 0) return fs::path();
    DeleteFileW(name);
    return fs::path(name);
}

bool RunMark::Journal(const std::vector<Move>&, bool) {
    return true;
}

std::vector<fs::path> SweepStoppedRuns(const fs::path&, std::vector<std::string>&) {
    return {};
}
#else
namespace {

const char kHeader[] = "catalog-tool run\n";
const char kMoveRecord[] = "move";
const char kDoneRecord[] = "done";

using Fd = toolfiles::FileDescriptor;

std::string Key(const fs::path& target) {
    std::error_code code;
    const fs::path absolute = fs::absolute(target, code);
    return ToArgument(code ? target : absolute.lexically_normal());
}

std::map<std::string, std::weak_ptr<RunMark> >& Marks() {
    static std::map<std::string, std::weak_ptr<RunMark> > marks;
    return marks;
}

bool WriteAll(int fd, const std::string& text) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t n = pwrite(fd, text.data() + done, text.size() - done, done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool ReadAll(int fd, std::string& text) {
    char chunk[4096];
    for (off_t at = 0;;) {
        const ssize_t n = pread(fd, chunk, sizeof chunk, at);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        text.append(chunk, static_cast<std::size_t>(n));
        at += n;
    }
}

bool OwnedHere(const fs::path& path) {
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && info.st_uid == geteuid();
}

// The records of a journal after its header: "move" made target aside, ..., and "done" once every
// move was made; each field ends with a NUL.
void ReadJournal(const std::string& text, std::vector<RunMark::Move>& moves, bool& done) {
    std::vector<std::string> fields;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\0', start);
        if (end == std::string::npos) break;
        fields.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    done = false;
    for (std::size_t i = 0; i < fields.size();) {
        if (fields[i] == kDoneRecord) {
            done = true;
            ++i;
        } else if (fields[i] == kMoveRecord && i + 3 < fields.size()) {
            moves.push_back({fields[i + 1], fields[i + 2], fields[i + 3]});
            i += 4;
        } else {
            break;
        }
    }
}

// Undoes a commit that stopped halfway: every earlier output set aside goes back to its place,
// and what the stopped run had put there goes back under its temporary name. An earlier output
// that cannot go back is kept where it is.
void UndoCommit(const std::vector<RunMark::Move>& moves, std::vector<fs::path>& keep,
                std::vector<std::string>& notes) {
    for (auto it = moves.rbegin(); it != moves.rend(); ++it) {
        // Its finished temporary is gone only when it was moved into place.
        if (!Present(it->made) && Present(it->target)) MoveIntoPlace(it->target, it->made, false);
        if (it->aside.empty() || !Present(it->aside)) continue;
        if (!MoveIntoPlace(it->aside, it->target, false)) {
            keep.push_back(it->aside);
            notes.push_back(ToArgument(it->aside) + ": holds the earlier " +
                            ToArgument(it->target) + ", which a stopped run set aside; it " +
                            "could not be put back (" + LastSystemError() + ") and is kept");
        }
    }
}

bool IsMarkName(const std::string& name, const std::string& prefix) {
    if (name.size() != prefix.size() + kIdLength || name.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        if (!std::isalnum(static_cast<unsigned char>(name[i]))) return false;
    }
    return true;
}

// The journal of a stopped run's mark; false when the mark is alive, not this user's, or not one.
bool StoppedJournal(const fs::path& lock, Fd& fd, std::string& journal) {
    struct stat named;
    struct stat opened;
    if (lstat(lock.c_str(), &named) != 0 || !S_ISREG(named.st_mode) || named.st_uid != geteuid() ||
        fd.Get() < 0 || fstat(fd.Get(), &opened) != 0 || opened.st_dev != named.st_dev ||
        opened.st_ino != named.st_ino) {
        return false;
    }
    if (flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) return false;  // its run is alive
    std::string text;
    if (fstat(fd.Get(), &opened) != 0 || opened.st_nlink == 0 || !ReadAll(fd.Get(), text) ||
        text.compare(0, sizeof kHeader - 1, kHeader) != 0) {
        return false;
    }
    journal = text.substr(sizeof kHeader - 1);
    return true;
}

}  // namespace

RunMark::~RunMark() {
    if (fd.Get() < 0) return;
    (void)!ftruncate(fd.Get(), 0);
    unlink(lockPath.c_str());
}

std::shared_ptr<RunMark> RunMark::Beside(const fs::path& target, std::string& error) {
    std::weak_ptr<RunMark>& slot = Marks()[Key(target)];
    if (std::shared_ptr<RunMark> held = slot.lock()) return held;
    std::string pattern =
        (FolderOf(target) / (target.filename().native() + kMark + "XXXXXX")).native();
    std::shared_ptr<RunMark> mark(new RunMark());
    mark->fd.Reset(mkostemp(&pattern[0], O_CLOEXEC));
    if (mark->fd.Get() < 0) {
        error = LastSystemError();
        return nullptr;
    }
    mark->lockPath = pattern;
    // Until the header is written a sweep takes the file for no mark, so it is locked first.
    if (flock(mark->fd.Get(), LOCK_EX) != 0 || !WriteAll(mark->fd.Get(), kHeader)) {
        error = LastSystemError();
        return nullptr;
    }
    slot = mark;
    return mark;
}

fs::path RunMark::Aside() const {
    return lockPath + "-old";
}

bool RunMark::Journal(const std::vector<Move>& moves, bool done) {
    std::string text = kHeader;
    for (const Move& move : moves) {
        for (const std::string& field : {std::string(kMoveRecord), move.made.native(),
                                         move.target.native(), move.aside.native()}) {
            text += field;
            text += '\0';
        }
    }
    if (done) text += std::string(kDoneRecord) + '\0';
    return ftruncate(fd.Get(), 0) == 0 && WriteAll(fd.Get(), text) && fdatasync(fd.Get()) == 0;
}

std::vector<fs::path> SweepStoppedRuns(const fs::path& target, std::vector<std::string>& notes) {
    std::vector<fs::path> removed;
    const fs::path folder = FolderOf(target);
    const std::string prefix = target.filename().native() + kMark;
    std::vector<std::string> names;
    std::error_code code;
    for (fs::directory_iterator it(folder, code), end; !code && it != end; it.increment(code))
        names.push_back(it->path().filename().native());
    for (const std::string& name : names) {
        if (!IsMarkName(name, prefix)) continue;
        const fs::path lock = folder / name;
        Fd fd(open(lock.c_str(), O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        std::string journal;
        if (!StoppedJournal(lock, fd, journal)) continue;
        std::vector<RunMark::Move> moves;
        bool done = false;
        ReadJournal(journal, moves, done);
        std::vector<fs::path> keep;
        if (!done) UndoCommit(moves, keep, notes);
        const std::string own = name + "-";
        for (const std::string& other : names) {
            const fs::path path = folder / other;
            if (other.compare(0, own.size(), own) != 0 || !OwnedHere(path) ||
                std::find(keep.begin(), keep.end(), path) != keep.end()) {
                continue;
            }
            fs::remove_all(path, code);
            if (code) {
                notes.push_back(ToArgument(path) + ": left by a stopped run, cannot be removed (" +
                                code.message() + ")");
            } else {
                removed.push_back(path);
            }
        }
        if (keep.empty()) unlink(lock.c_str());
    }
    return removed;
}
#endif

}  // namespace toolfiles

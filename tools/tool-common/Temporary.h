#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "FileDescriptor.h"
#include "RunMark.h"

// Files and folders written beside their target under a temporary name and moved into place only
// when complete. The names are made by the system's unique-name calls and carry the target's
// name and the run's mark, "medium.iso.tmp-catalog-tool-Ab3xYz-Qw9eRt" (see RunMark.h), so that
// a later run can tell the leftovers of one that was stopped.
namespace toolfiles {

class Temporary {
  public:
    Temporary() = default;
    ~Temporary();
    Temporary(Temporary&& other) noexcept;
    Temporary& operator=(Temporary&& other) noexcept;
    Temporary(const Temporary&) = delete;
    Temporary& operator=(const Temporary&) = delete;

    // Makes an empty file or folder beside target; false with a message naming target.
    static bool MakeBeside(const std::filesystem::path& target, bool folder, Temporary& made,
                           std::string& error);

    const std::filesystem::path& Path() const { return path; }
    // For a file: a name that opens the very file made, whatever stands at Path() meanwhile.
    std::filesystem::path ThroughDescriptor() const;
    // True while Path() still names the file made.
    bool StillMade() const;
    const std::shared_ptr<RunMark>& Mark() const { return mark; }
    // What the temporary now is belongs to the caller: it is no longer removed.
    void Release() { path.clear(); }

  private:
    std::shared_ptr<RunMark> mark;
    std::filesystem::path path;
    FileDescriptor fd;  // the file made, held open
};

// The longest name a target in folder may have so that its temporaries' names can still be made.
std::size_t LongestTargetName(const std::filesystem::path& folder);

// Writes a file beside target through write(temporary, error), which also reads it back, and
// moves it into place. Without replace an existing target is never replaced.
using FileWriter = std::function<bool(const std::filesystem::path& temporary, std::string& error)>;
bool ReplaceAtomically(const std::filesystem::path& target, bool replace, const FileWriter& write,
                       std::string& error);

}  // namespace toolfiles

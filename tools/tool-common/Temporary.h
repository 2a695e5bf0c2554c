#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

// Files and folders written beside their target under a temporary name and moved into place only
// when complete. The names are made by the system's unique-name calls and carry the target's
// name, the tool's mark and the writing process, "medium.iso.tmp-catalog-tool-4711-Ab3xYz", so
// that a later run can tell the leftovers of one that was killed.
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
    // What the temporary now is belongs to the caller: it is no longer removed.
    void Release() { path.clear(); }

  private:
    std::filesystem::path path;
};

// The longest name a target in folder may have so that its temporaries' names can still be made.
std::size_t LongestTargetName(const std::filesystem::path& folder);

// Removes the temporaries beside target that an earlier run, no longer running, left behind;
// returns their paths.
std::vector<std::filesystem::path> RemoveLeftovers(const std::filesystem::path& target);

// Writes a file beside target through write(temporary, error), which also reads it back, and
// moves it into place. Without replace an existing target is never replaced.
using FileWriter = std::function<bool(const std::filesystem::path& temporary, std::string& error)>;
bool ReplaceAtomically(const std::filesystem::path& target, bool replace, const FileWriter& write,
                       std::string& error);

// Finished temporaries moved onto their targets all together: an existing target is set aside
// first and removed only when every target is in place; when one move fails, every target is
// left as it was.
class Publication {
  public:
    void Add(Temporary&& made, const std::filesystem::path& target);
    bool Commit(std::string& error);

  private:
    struct Item {
        Temporary made;
        std::filesystem::path target;
        std::filesystem::path oldPath;  // the earlier target, set aside
        bool placed = false;
    };
    void RollBack();
    std::vector<Item> items;
};

}  // namespace toolfiles

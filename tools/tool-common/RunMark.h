#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FileDescriptor.h"

// The mark a run puts beside each target it writes: a lock file, "medium.iso.tmp-catalog-tool-
// Ab3xYz", held locked with flock for as long as the run lives. Every temporary the run makes
// beside that target carries the mark's id ("medium.iso.tmp-catalog-tool-Ab3xYz-Qw9eRt"), and
// the lock file holds the journal of the run's commit. A later run sweeps only what carries a
// mark that is this user's and no longer locked: it finishes or undoes the dead run's commit
// first, so that an earlier output is never lost, and then removes the run's temporaries.
// Process ids play no part, so runs in other process-id namespaces are told apart too.
namespace toolfiles {

class RunMark {
  public:
    ~RunMark();
    RunMark(const RunMark&) = delete;
    RunMark& operator=(const RunMark&) = delete;

    // The mark of this run beside target, made on first use and shared while anything holds it;
    // null with a message when it cannot be made.
    static std::shared_ptr<RunMark> Beside(const std::filesystem::path& target, std::string& error);

    // The pattern of a temporary's name beside the target: the mark's name, '-' and "XXXXXX".
    std::string Pattern() const { return lockPath + "-XXXXXX"; }
    // A name beside the target, for this run only, that nothing stands at yet.
    std::filesystem::path Aside() const;

    // One move of a commit: the finished temporary goes to target; an earlier target is set
    // aside first.
    struct Move {
        std::filesystem::path made;
        std::filesystem::path target;
        std::filesystem::path aside;
    };
    // Writes the commit's journal into the lock file and onto the disk; false when it cannot.
    bool Journal(const std::vector<Move>& moves, bool done);

  private:
    RunMark() = default;
    FileDescriptor fd;
    std::string lockPath;
};

// Finishes or undoes the commits of the stopped runs beside target and removes their
// temporaries; returns what was removed. Notes tell of an earlier output that could not be
// put back.
std::vector<std::filesystem::path> SweepStoppedRuns(const std::filesystem::path& target,
                                                    std::vector<std::string>& notes);

// A mark's name is its target's name, kMark and an id of kIdLength letters and digits (what
// mkostemp puts for "XXXXXX"); a temporary's name adds '-' and another such id.
inline constexpr char kMark[] = ".tmp-catalog-tool-";
constexpr std::size_t kIdLength = 6;
// The length the mark adds to a target's name in the longest temporary name.
constexpr std::size_t kMarkSuffixLength = sizeof kMark - 1 + kIdLength + 1 + kIdLength;

}  // namespace toolfiles

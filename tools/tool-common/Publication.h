#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "Temporary.h"

// Finished temporaries moved onto their targets all together. Each move is checked in the same
// step as it is made: what stands at a target then is replaced only when the caller's rule says
// it is an earlier output of the same kind, and is set aside first and removed only when every
// target is in place; anything else that appeared meanwhile is kept and the commit fails. The
// commit is journalled in the run's marks, so that a run stopped halfway is finished or undone by
// the next (see RunMark.h); when one move fails, every target is left as it was.
namespace toolfiles {

class Publication {
  public:
    // True when what stands at a path is an earlier output the new one may replace.
    using Replaceable = std::function<bool(const std::filesystem::path& path)>;

    // finished lies in (or is) made; an empty rule replaces nothing.
    void Add(Temporary&& made, const std::filesystem::path& finished,
             const std::filesystem::path& target, Replaceable replaceable);
    bool Commit(std::string& error);

  private:
    struct Item {
        Temporary made;
        std::filesystem::path finished;
        std::filesystem::path target;
        Replaceable replaceable;
        std::filesystem::path aside;  // where the earlier target is set aside
        bool setAside = false;
        bool placed = false;
    };
    bool Place(Item& item, std::string& error);
    bool Journal(bool done);
    void RollBack();
    std::vector<Item> items;
};

}  // namespace toolfiles

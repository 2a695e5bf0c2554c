#include "Publication.h"

#include "ToolFiles.h"

namespace toolfiles {

namespace fs = std::filesystem;

namespace {

std::string Kept(const fs::path& target, const std::string& why) {
    return ToArgument(target) + ": " + why + "; it is kept as it is";
}

}  // namespace

void Publication::Add(Temporary&& made, const fs::path& finished, const fs::path& target,
                      Replaceable replaceable) {
    Item item;
    item.made = std::move(made);
    item.finished = finished;
    item.target = target;
    item.replaceable = std::move(replaceable);
    items.push_back(std::move(item));
}

bool Publication::Journal(bool done) {
    std::vector<RunMark::Move> moves;
    for (const Item& item : items) moves.push_back({item.finished, item.target, item.aside});
    for (const Item& item : items) {
        if (!item.made.Mark()->Journal(moves, done)) return false;
    }
    return true;
}

bool Publication::Place(Item& item, std::string& error) {
    if (Present(item.target)) {
        if (!item.replaceable) {
            error = Kept(item.target, "appeared during the build");
            return false;
        }
        if (!MoveIntoPlace(item.target, item.aside, false)) {
            error = ToArgument(item.target) + ": cannot be replaced (" + LastSystemError() + ")";
            return false;
        }
        item.setAside = true;
        // Checked again where nobody else writes: it may have been exchanged during the build.
        if (!item.replaceable(item.aside)) {
            error = Kept(item.target,
                         "changed during the build into something make-medium did "
                         "not make");
            return false;
        }
    }
    if (!MoveIntoPlace(item.finished, item.target, false)) {
        error = LastMoveFoundTarget()
                    ? Kept(item.target, "appeared during the build")
                    : ToArgument(item.target) + ": cannot be created (" + LastSystemError() + ")";
        return false;
    }
    item.placed = true;
    return true;
}

bool Publication::Commit(std::string& error) {
    for (Item& item : items) item.aside = item.made.Mark()->Aside();
    if (!Journal(false)) {
        error = ToArgument(items.front().target) + ": cannot record the move into place (" +
                LastSystemError() + ")";
        return false;
    }
    for (Item& item : items) {
        if (!Place(item, error)) {
            RollBack();
            return false;
        }
    }
    Journal(true);
    for (Item& item : items) {
        std::error_code ignored;
        if (item.setAside) fs::remove_all(item.aside, ignored);
    }
    items.clear();
    return true;
}

void Publication::RollBack() {
    for (auto it = items.rbegin(); it != items.rend(); ++it) {
        if (it->placed) MoveIntoPlace(it->target, it->finished, false);
        if (it->setAside) MoveIntoPlace(it->aside, it->target, false);
        it->placed = false;
        it->setAside = false;
    }
    for (Item& item : items) item.aside.clear();
    Journal(false);
}

}  // namespace toolfiles

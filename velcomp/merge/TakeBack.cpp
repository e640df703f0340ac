#include "velcomp/merge/TakeBack.h"

#include "velcomp/MessageText.h"
#include "velcomp/WriteSteps.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

// Whether `now` is the file that the merge moved: the same file, unchanged since. Of a
// file moved on its own, the change time after the move is known once it was recorded; the
// move itself sets it.
bool IsAsMoved(const PlannedMove& move, const EntryInfo& now) {
    const bool same = now.kind == EntryKind::kFile && now.stamp.id == move.stamp.id &&
                      now.stamp.size == move.stamp.size &&
                      now.stamp.modified == move.stamp.modified;
    const bool changeKnown = move.carrier >= 0 || move.placed;
    return same && (!changeKnown || now.stamp.changed == move.stamp.changed);
}

// Whether the merge moved this entry of its own: it has left the staging folder.
bool WasMoved(const fs::path& staged, const PlannedMove& move) {
    EntryInfo left;
    return move.placed || (!Inspect(staged / move.path, left) && left.kind == EntryKind::kMissing);
}

class Undoing {
public:
    Undoing(const fs::path& folder, const MergePlan& plan, std::vector<fs::path>& changed)
        : folder_(folder), plan_(plan), changed_(changed) {}

    // Takes back one entry: a file of ours as moved, or a folder of ours once it is empty.
    Result Entry(std::size_t index) {
        const PlannedMove& move = plan_.moves[index];
        EntryInfo now;
        if (const std::error_code error = Identify(folder_ / move.path, now)) {
            return PathFailure("Cannot read", folder_ / move.path, error);
        }
        if (move.kind == EntryKind::kFolder) {
            if (now.kind == EntryKind::kFolder && now.stamp.id == move.stamp.id) {
                RemoveIfEmpty(folder_ / move.path);
            }
            return Result::Success();
        }
        if (now.kind == EntryKind::kMissing) {
            return Result::Success();  // the author has removed or moved it
        }
        if (!IsAsMoved(move, now)) {
            changed_.push_back(move.path);
            return Result::Success();
        }
        if (const std::error_code error = RemoveEntry(folder_ / move.path)) {
            return PathFailure("Cannot take back the unfinished write-out's", folder_ / move.path,
                               error);
        }
        WriteStep("taken back");
        return Result::Success();
    }

    // Takes back a move of its own and, if its folder is still ours, what it brought:
    // everything after it in the plan that names it, last first.
    Result Move(std::size_t index) {
        const std::size_t end = EndOfBrought(index);
        EntryInfo now;
        Identify(folder_ / plan_.moves[index].path, now);
        const bool ours =
            now.kind == EntryKind::kFolder && now.stamp.id == plan_.moves[index].stamp.id;
        for (std::size_t brought = end; ours && brought > index + 1; --brought) {
            Result undone = Entry(brought - 1);
            if (!undone) {
                return undone;
            }
        }
        return Entry(index);
    }

    std::size_t EndOfBrought(std::size_t index) const {
        std::size_t end = index + 1;
        while (end < plan_.moves.size() && plan_.moves[end].carrier == static_cast<int>(index)) {
            ++end;
        }
        return end;
    }

private:
    const fs::path& folder_;
    const MergePlan& plan_;
    std::vector<fs::path>& changed_;
};

}  // namespace

Result TakeBack(const fs::path& folder, const fs::path& staged, const MergePlan& plan,
                std::vector<fs::path>& changed) {
    Undoing undoing(folder, plan, changed);
    for (std::size_t index = plan.moves.size(); index > 0; --index) {
        const PlannedMove& move = plan.moves[index - 1];
        if (move.carrier >= 0 || !WasMoved(staged, move)) {
            continue;
        }
        Result undone = undoing.Move(index - 1);
        if (!undone) {
            return undone;
        }
    }
    return Result::Success();
}

std::string ChangedFilesNote(const std::vector<fs::path>& changed) {
    if (changed.empty()) {
        return {};
    }
    const std::string start =
        "Your changes were kept in these files, which an interrupted write-out had put there: ";
    // As many names as the message holds, with room for the count of those left out.
    std::string names;
    std::size_t named = 0;
    for (; named < changed.size(); ++named) {
        const std::string name = QuotePath(fs::path(changed[named]).make_preferred());
        if (start.size() + names.size() + name.size() + 24 > kMaxMessageLength) {
            break;
        }
        names += (named == 0 ? "" : ", ") + name;
    }
    if (named < changed.size()) {
        names += " and " + std::to_string(changed.size() - named) + " more";
    }
    return start + names + ".";
}

}  // namespace velcomp

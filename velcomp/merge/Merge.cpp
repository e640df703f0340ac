#include "velcomp/merge/Merge.h"

#include <string>
#include <vector>

#include "contract/PackageFiles.h"
#include "velcomp/MessageText.h"
#include "velcomp/WriteSteps.h"
#include "velcomp/merge/Journal.h"
#include "velcomp/merge/MergePlan.h"
#include "velcomp/merge/TakeBack.h"
#include "velcomp/os/FileSystem.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

constexpr std::uintmax_t kMaxJournalSize = std::uintmax_t{64} * 1024 * 1024;

// The note of what stayed, added to a result.
Result WithNote(Result result, const std::string& note) {
    if (note.empty()) {
        return result;
    }
    const std::string message = JoinMessages(result.message(), note);
    return result ? Result::Success(message) : Result::Failure(message);
}

Result WriteJournal(const StagingFolder& staging, const MergePlan& plan) {
    // The journal appears whole or not at all.
    if (const std::error_code error = WriteNewFile(staging.journal(), JournalText(plan))) {
        return PathFailure("Cannot write the folder", staging.folder(), error);
    }
    WriteStep("journal written");
    return Result::Success();
}

Result ReadJournal(const StagingFolder& staging, MergePlan& plan) {
    std::string text;
    if (const std::error_code error = ReadSmallFile(staging.journal(), kMaxJournalSize, text)) {
        return PathFailure("Cannot read the record of an unfinished write-out in", staging.root(),
                           error);
    }
    if (!ParseJournal(text, plan)) {
        return Result::Failure("The record of an unfinished write-out in " +
                               QuotePath(staging.root()) +
                               " is damaged; please look at that folder and remove it.");
    }
    return Result::Success();
}

Result RemoveJournal(const StagingFolder& staging) {
    if (const std::error_code error = RemoveEntry(staging.journal())) {
        return PathFailure("Cannot remove", staging.journal(), error);
    }
    WriteStep("journal removed");
    return Result::Success();
}

// Moves one planned entry; a move whose entry is the staged one is recorded with its change
// time at once: the move sets it, and only with it can a later take-back tell our file from
// one that the author has edited.
Result MoveOne(const StagingFolder& staging, std::size_t index, PlannedMove& move) {
    const fs::path target = staging.folder() / move.path;
    const std::error_code error = MoveWithoutReplacing(staging.files() / move.path, target);
    if (IsExistsError(error)) {
        return Result::Failure("Cannot write " + QuotePath(target) +
                               ": something of that name has appeared there meanwhile.");
    }
    if (error) {
        return PathFailure("Cannot write", target, error);
    }
    EntryInfo now;
    if (!Identify(target, now) && now.stamp.id == move.stamp.id) {
        move.stamp.changed = now.stamp.changed;
        move.placed = true;
        if (const std::error_code recorded =
                AppendToFile(staging.journal(), PlacedLine(index, move.stamp.changed))) {
            return PathFailure("Cannot write the folder", staging.folder(), recorded);
        }
    }
    WriteStep("moved");
    return Result::Success();
}

// The moves of entries that no other move carries along.
Result MoveAll(const StagingFolder& staging, MergePlan& plan) {
    for (std::size_t index = 0; index < plan.moves.size(); ++index) {
        if (plan.moves[index].carrier >= 0) {
            continue;
        }
        if (Result moved = MoveOne(staging, index, plan.moves[index]); !moved) {
            return moved;
        }
    }
    return Result::Success();
}

Result MoveConfig(const StagingFolder& staging) {
    const fs::path target = staging.folder() / contract::kConfigFileName;
    const std::error_code error =
        MoveWithoutReplacing(staging.files() / contract::kConfigFileName, target);
    if (IsExistsError(error)) {
        return AssetThere(staging.folder());
    }
    if (error) {
        return PathFailure("Cannot write", target, error);
    }
    WriteStep("moved");
    return Result::Success();
}

// Takes back a failed merge's moves; the failure, with what could not be undone or stayed.
Result Undo(const StagingFolder& staging, const Result& failure, const MergePlan& plan) {
    if (IsMissing(staging.journal())) {
        return failure;  // nothing was moved
    }
    std::vector<fs::path> changed;
    const Result undone =
        InTurn([&] { return TakeBack(staging.folder(), staging.files(), plan, changed); },
               [&] { return RemoveJournal(staging); });
    const std::string message =
        undone ? failure.message() : JoinMessages(failure.message(), undone.message());
    return WithNote(Result::Failure(message), ChangedFilesNote(changed));
}

// Finishes or takes back the merge that the journal records; `note` names what stayed.
Result RecoverJournal(const StagingFolder& staging, std::string& note) {
    MergePlan plan;
    std::vector<fs::path> changed;
    // config.txt moves last: once it is in place the asset is complete and stays.
    const bool finished = IsMissing(staging.files() / contract::kConfigFileName);
    Result result =
        InTurn([&] { return ReadJournal(staging, plan); },
               [&] {
                   return finished ? Result::Success()
                                   : TakeBack(staging.folder(), staging.files(), plan, changed);
               },
               [&] { return RemoveJournal(staging); });
    note = ChangedFilesNote(changed);
    return result;
}

}  // namespace

Result Merge(const StagingFolder& staging) {
    MergePlan plan;
    const Result result = InTurn(
        [&] { return PlanMerge(staging.files(), staging.folder(), plan); },
        [&] { return WriteJournal(staging, plan); }, [&] { return MoveAll(staging, plan); },
        [&] { return CheckPlaced(staging.folder(), plan); }, [&] { return MoveConfig(staging); });
    return result ? RemoveJournal(staging) : Undo(staging, result, plan);
}

Result Recover(const StagingFolder& staging) {
    std::string note;
    if (!IsMissing(staging.journal())) {
        if (Result recovered = RecoverJournal(staging, note); !recovered) {
            return WithNote(recovered, note);
        }
    }
    return WithNote(staging.Remove(), note);
}

}  // namespace velcomp

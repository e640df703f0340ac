#include "velcomp/Staging.h"

#include <chrono>
#include <thread>

#include "contract/PackageFiles.h"
#include "velcomp/Journal.h"
#include "velcomp/MessageText.h"
#include "velcomp/TakeBack.h"
#include "velcomp/WriteSteps.h"
#include "velcomp/os/FileSystem.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

constexpr std::uintmax_t kMaxJournalSize = std::uintmax_t{64} * 1024 * 1024;

bool IsMissing(const fs::path& path) {
    EntryInfo info;
    return !Inspect(path, info) && info.kind == EntryKind::kMissing;
}

// Removes `path` and, for a folder of ours, everything below it; links are not entered.
std::error_code RemoveTree(const fs::path& path, fs::path& failed) {
    EntryInfo info;
    if (const std::error_code error = Inspect(path, info)) {
        failed = path;
        return error;
    }
    if (info.kind == EntryKind::kFolder) {
        std::vector<FolderEntry> entries;
        if (const std::error_code error = ListFolder(path, entries)) {
            failed = path;
            return error;
        }
        for (const FolderEntry& entry : entries) {
            if (const std::error_code error = RemoveTree(path / entry.name, failed)) {
                return error;
            }
        }
    }
    const std::error_code error = RemoveEntry(path);
    if (error) {
        failed = path;
    }
    return error;
}

// Windows may hold a fresh file open for a moment (a virus scanner, the indexer), which
// makes a folder rename fail although nothing is wrong.
std::error_code MoveFolderPatiently(const fs::path& from, const fs::path& to) {
    std::error_code error;
    for (int attempt = 0; attempt < 10; ++attempt) {
        error = MoveWithoutReplacing(from, to);
        if (error != std::errc::permission_denied) {
            return error;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return error;
}

// The note of what stayed, added to a result.
Result WithNote(Result result, const std::string& note) {
    if (note.empty()) {
        return result;
    }
    const std::string message = JoinMessages(result.message(), note);
    return result ? Result::Success(message) : Result::Failure(message);
}

}  // namespace

Staging::Staging(const fs::path& folder, const fs::path& root)
    : folder_(folder), root_(root), files_(root / "files"), journal_(root / "journal") {}

Result Staging::Make(WriteClaim& claim) {
    Result noted = claim.NoteStaging(root_);
    if (!noted) {
        return noted;
    }
    std::error_code error = MakeFolder(root_);
    if (!error) {
        WriteStep("staging folder made");
        HideEntry(root_);
        error = WriteNewFile(root_ / kStagingMarkFile, StagingMark(folder_));
    }
    if (!error) {
        error = MakeFolder(files_);
    }
    if (error) {
        return PathFailure("Cannot make the folder", root_, error);
    }
    WriteStep("staging made");
    return Result::Success();
}

Result Staging::PlaceWhole(bool& placed) {
    placed = false;
    const std::error_code error = MoveFolderPatiently(files_, folder_);
    if (IsExistsError(error)) {
        return Result::Success();
    }
    if (error) {
        return PathFailure("Cannot write the folder", folder_, error);
    }
    placed = true;
    WriteStep("placed whole");
    return Result::Success();
}

Result Staging::WriteJournal(const MergePlan& plan) {
    // The journal appears whole or not at all.
    if (const std::error_code error = WriteNewFile(journal_, JournalText(plan))) {
        return PathFailure("Cannot write the folder", folder_, error);
    }
    WriteStep("journal written");
    return Result::Success();
}

Result Staging::ReadJournal(MergePlan& plan) const {
    std::string text;
    if (const std::error_code error = ReadSmallFile(journal_, kMaxJournalSize, text)) {
        return PathFailure("Cannot read the record of an unfinished write-out in", root_, error);
    }
    if (!ParseJournal(text, plan)) {
        return Result::Failure("The record of an unfinished write-out in " + QuotePath(root_) +
                               " is damaged; please look at that folder and remove it.");
    }
    return Result::Success();
}

Result Staging::RemoveJournal() {
    if (const std::error_code error = RemoveEntry(journal_)) {
        return PathFailure("Cannot remove", journal_, error);
    }
    WriteStep("journal removed");
    return Result::Success();
}

// Each move is recorded with its change time as soon as it is made: the move sets it, and
// only with it can a later take-back tell our file from one that the author has edited.
Result Staging::MoveAll(MergePlan& plan) {
    for (std::size_t index = 0; index < plan.moves.size(); ++index) {
        PlannedMove& move = plan.moves[index];
        if (move.carrier >= 0) {
            continue;
        }
        const std::error_code error = MoveWithoutReplacing(files_ / move.path, folder_ / move.path);
        if (IsExistsError(error)) {
            return Result::Failure("Cannot write " + QuotePath(folder_ / move.path) +
                                   ": something of that name has appeared there meanwhile.");
        }
        if (error) {
            return PathFailure("Cannot write", folder_ / move.path, error);
        }
        EntryInfo now;
        if (!Identify(folder_ / move.path, now) && now.stamp.id == move.stamp.id) {
            move.stamp.changed = now.stamp.changed;
            move.placed = true;
            if (const std::error_code recorded =
                    AppendToFile(journal_, PlacedLine(index, move.stamp.changed))) {
                return PathFailure("Cannot write the folder", folder_, recorded);
            }
        }
        WriteStep("moved");
    }
    return Result::Success();
}

Result Staging::MoveConfig() {
    const std::error_code error = MoveWithoutReplacing(files_ / contract::kConfigFileName,
                                                       folder_ / contract::kConfigFileName);
    if (IsExistsError(error)) {
        return AssetThere(folder_);
    }
    if (error) {
        return PathFailure("Cannot write", folder_ / contract::kConfigFileName, error);
    }
    WriteStep("moved");
    return Result::Success();
}

Result Staging::Undo(const Result& failure, const MergePlan& plan) {
    if (IsMissing(journal_)) {
        return failure;  // nothing was moved
    }
    std::vector<fs::path> changed;
    Result undone = TakeBack(folder_, files_, plan, changed);
    if (undone) {
        undone = RemoveJournal();
    }
    const std::string message =
        undone ? failure.message() : JoinMessages(failure.message(), undone.message());
    return WithNote(Result::Failure(message), ChangedFilesNote(changed));
}

Result Staging::Merge() {
    MergePlan plan;
    Result result = PlanMerge(files_, folder_, plan);
    if (result) {
        result = WriteJournal(plan);
    }
    if (result) {
        result = MoveAll(plan);
    }
    if (result) {
        result = CheckPlaced(folder_, plan);
    }
    if (result) {
        result = MoveConfig();
    }
    return result ? RemoveJournal() : Undo(result, plan);
}

Result Staging::Recover() {
    std::string note;
    if (!IsMissing(journal_)) {
        MergePlan plan;
        Result result = ReadJournal(plan);
        // config.txt moves last: once it is in place the asset is complete and stays.
        const bool finished = IsMissing(files_ / contract::kConfigFileName);
        std::vector<fs::path> changed;
        if (result && !finished) {
            result = TakeBack(folder_, files_, plan, changed);
        }
        if (result) {
            result = RemoveJournal();
        }
        note = ChangedFilesNote(changed);
        if (!result) {
            return WithNote(result, note);
        }
    }
    return WithNote(Remove(), note);
}

Result Staging::Remove() {
    if (!IsMissing(journal_)) {
        return Result::Failure("What was written is recorded in " + QuotePath(root_) +
                               "; the next write-out of this asset takes it back.");
    }
    // The mark goes last: a folder that could not be removed whole stays known for ours.
    std::vector<FolderEntry> entries;
    fs::path failed = root_;
    std::error_code error = ListFolder(root_, entries);
    for (auto entry = entries.begin(); !error && entry != entries.end(); ++entry) {
        if (entry->name != kStagingMarkFile) {
            error = RemoveTree(root_ / entry->name, failed);
        }
    }
    if (!error) {
        error = RemoveTree(root_ / kStagingMarkFile, failed);
    }
    if (!error) {
        WriteStep("staging unmarked");
        error = RemoveTree(root_, failed);
    }
    if (error) {
        return PathFailure("Cannot remove the library's working folder; please remove", failed,
                           error);
    }
    WriteStep("staging removed");
    return Result::Success();
}

}  // namespace velcomp

#include "velcomp/StagingFolder.h"

#include <chrono>
#include <thread>

#include "velcomp/MessageText.h"
#include "velcomp/WriteSteps.h"
#include "velcomp/os/FileSystem.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

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

}  // namespace

bool IsMissing(const fs::path& path) {
    EntryInfo info;
    return !Inspect(path, info) && info.kind == EntryKind::kMissing;
}

StagingFolder::StagingFolder(const fs::path& folder, const fs::path& root)
    : folder_(folder), root_(root), files_(root / "files"), journal_(root / "journal") {}

Result StagingFolder::Make(WriteClaim& claim) const {
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

Result StagingFolder::PlaceWhole(bool& placed) const {
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

Result StagingFolder::Remove() const {
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

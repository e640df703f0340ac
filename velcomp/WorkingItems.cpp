#include "velcomp/WorkingItems.h"

#include "names/AssetName.h"
#include "velcomp/MessageText.h"
#include "velcomp/WriteSteps.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

// The library's own identifier, which marks every working item it makes.
constexpr char kLibraryMark[] = "velcomp working item 4f1c2d6e-8a93-4b57-9e0a-3c7d5b2f1e86";
constexpr char kLockLine[] = "\nlock\n";
constexpr char kStagingLine[] = "\nstaging of ";
constexpr char kIntentLine[] = "making ";
constexpr std::uintmax_t kMostMark = 4096;

std::string LockText() {
    return std::string(kLibraryMark) + kLockLine;
}

enum class SlotState { kClaimed, kBusy, kNotOurs };

// Removes the staging folders that a killed holder of the lock noted as about to be made,
// where they are still empty: made, but killed before they were marked.
void RemoveUnmarkedStagings(const fs::path& folder, std::string_view lock) {
    for (std::size_t start = LockText().size(); start < lock.size();) {
        const std::size_t end = std::min(lock.find('\n', start), lock.size());
        const std::string_view line = lock.substr(start, end - start);
        if (line.rfind(kIntentLine, 0) == 0) {
            const fs::path root =
                folder.parent_path() / fs::u8path(line.substr(sizeof kIntentLine - 1));
            EntryInfo info;
            if (!Inspect(root, info) && info.kind == EntryKind::kFolder) {
                RemoveIfEmpty(root);
            }
        }
        start = end + 1;
    }
}

// Keeps a lock just taken when it holds our mark: hides one we `made`, or clears up after
// the killed write-out that left it. Any other file of that name is the author's, and is let
// go as it is.
SlotState KeepIfOurs(const fs::path& folder, const fs::path& lock, bool made,
                     std::string_view found, std::unique_ptr<FileClaim>& claim) {
    if (found.rfind(LockText(), 0) != 0) {
        claim->LeaveInPlace();
        claim.reset();
        return SlotState::kNotOurs;
    }
    if (made) {
        HideEntry(lock);
    } else {
        RemoveUnmarkedStagings(folder, found);
    }
    return SlotState::kClaimed;
}

// Claims one name of the lock: makes it, or takes over a lock of ours that a killed
// write-out left there.
std::error_code ClaimSlot(const fs::path& folder, const fs::path& lock,
                          std::unique_ptr<FileClaim>& claim, SlotState& state) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::error_code writing = WriteNewFile(lock, LockText());
        if (writing && !IsExistsError(writing)) {
            return writing;
        }
        const bool made = !writing;
        TakeOutcome outcome = TakeOutcome::kGone;
        std::string found;
        if (const std::error_code error = TakeFile(lock, claim, outcome, found)) {
            return error;
        }
        if (outcome == TakeOutcome::kGone) {
            continue;  // its holder removed it between our two looks
        }
        if (outcome == TakeOutcome::kTaken) {
            state = KeepIfOurs(folder, lock, made, found, claim);
        } else {
            state = outcome == TakeOutcome::kBusy ? SlotState::kBusy : SlotState::kNotOurs;
        }
        return {};
    }
    state = SlotState::kBusy;
    return {};
}

}  // namespace

fs::path WorkingItemPath(const fs::path& folder, int slot, const char* suffix) {
    fs::path::string_type name = folder.filename().native();
    if (slot > 0) {
        name += NativeText("." + std::to_string(slot));
    }
    return folder.parent_path() / (name + NativeText(suffix));
}

std::string StagingMark(const fs::path& folder) {
    return std::string(kLibraryMark) + kStagingLine + folder.filename().u8string() + "\n";
}

bool IsStagingMark(std::string_view text, const fs::path& folder) {
    const std::string start = std::string(kLibraryMark) + kStagingLine;
    if (text.rfind(start, 0) != 0 || text.empty() || text.back() != '\n') {
        return false;
    }
    const std::string_view name = text.substr(start.size(), text.size() - start.size() - 1);
    return name.find('\n') == name.npos && SameEntryName(fs::u8path(name), folder.filename());
}

Result WriteClaim::Take(const fs::path& folder, std::unique_ptr<WriteClaim>& claim) {
    fs::path taken;
    for (int slot = 0; slot < names::kWorkingSlots; ++slot) {
        const fs::path lock = WorkingItemPath(folder, slot, names::kLockSuffix);
        std::unique_ptr<FileClaim> held;
        SlotState state = SlotState::kNotOurs;
        if (const std::error_code error = ClaimSlot(folder, lock, held, state)) {
            return PathFailure("Cannot write in the folder", folder.parent_path(), error);
        }
        if (state == SlotState::kBusy) {
            return Result::Failure("Another write-out of " + QuotePath(folder) +
                                   " is under way; please wait for it to end.");
        }
        if (state == SlotState::kClaimed) {
            claim.reset(new WriteClaim(std::move(held)));
            WriteStep("claimed");
            return Result::Success();
        }
        taken = taken.empty() ? lock : taken;
    }
    return NamesTakenFailure(taken);
}

Result WriteClaim::NoteStaging(const fs::path& root) {
    if (const std::error_code error =
            lock_->Append(kIntentLine + root.filename().u8string() + "\n")) {
        return PathFailure("Cannot write in the folder", root.parent_path(), error);
    }
    return Result::Success();
}

Result FindStagingPlaces(const fs::path& folder, StagingPlaces& places) {
    places = {};
    for (int slot = 0; slot < names::kWorkingSlots; ++slot) {
        const fs::path root = WorkingItemPath(folder, slot, names::kStagingSuffix);
        EntryInfo info;
        if (const std::error_code error = Inspect(root, info)) {
            return PathFailure("Cannot read", root, error);
        }
        std::string mark;
        if (info.kind == EntryKind::kMissing) {
            places.free = places.free.empty() ? root : places.free;
        } else if (info.kind == EntryKind::kFolder &&
                   !ReadSmallFile(root / kStagingMarkFile, kMostMark, mark) &&
                   IsStagingMark(mark, folder)) {
            places.ours.push_back(root);
        } else if (places.taken.empty()) {
            places.taken = root;
        }
    }
    return Result::Success();
}

Result NamesTakenFailure(const fs::path& taken) {
    return Result::Failure(
        "Every name of the library's working items beside the asset is "
        "taken, the first by " +
        QuotePath(taken) + "; please rename or move those items.");
}

}  // namespace velcomp

#include "velcomp/Staging.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "velcomp/AssetBuilder.h"
#include "velcomp/AssetName.h"
#include "velcomp/MessageText.h"
#include "velcomp/WriteSteps.h"
#include "velcomp/platform/FileSystem.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

constexpr char kJournalHeader[] = "velcomp merge 1";
constexpr std::uintmax_t kMaxJournalSize = std::uintmax_t{64} * 1024 * 1024;

bool IsMissing(const fs::path& path) {
    EntryInfo info;
    return !Inspect(path, info) && info.kind == EntryKind::kMissing;
}

// The entries of a folder, sorted, so that every run plans the same order.
std::error_code Entries(const fs::path& folder, std::vector<fs::path>& names) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        names.push_back(it->path().filename());
    }
    std::sort(names.begin(), names.end());
    return error;
}

// Removes `path` and, for a folder of ours, everything below it; links are not entered.
std::error_code RemoveTree(const fs::path& path, fs::path& failed) {
    EntryInfo info;
    if (const std::error_code error = Inspect(path, info)) {
        failed = path;
        return error;
    }
    if (info.kind == EntryKind::kFolder) {
        std::vector<fs::path> names;
        if (const std::error_code error = Entries(path, names)) {
            failed = path;
            return error;
        }
        for (const fs::path& name : names) {
            if (const std::error_code error = RemoveTree(path / name, failed)) {
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

Staging::Staging(const fs::path& folder)
    : folder_(folder),
      root_(folder.parent_path() / (folder.filename().native() + NativeText(kStagingSuffix))),
      files_(root_ / "files"),
      journal_(root_ / "journal") {}

bool Staging::Exists() const {
    return !IsMissing(root_);
}

Result Staging::Make() {
    std::error_code error;
    if (!fs::create_directory(root_, error) || error) {
        return PathFailure("Cannot make the folder", root_,
                           error ? error : std::make_error_code(std::errc::file_exists));
    }
    HideEntry(root_);
    if (!fs::create_directory(files_, error) || error) {
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

Result Staging::PlanMoves(const fs::path& relative, std::vector<fs::path>& moves) const {
    std::vector<fs::path> names;
    if (const std::error_code error = Entries(files_ / relative, names)) {
        return PathFailure("Cannot read the folder", files_ / relative, error);
    }
    for (const fs::path& name : names) {
        const fs::path entry = relative / name;
        if (relative.empty() && name == kConfigFileName) {
            continue;  // moved last, once everything else is in place
        }
        EntryInfo staged;
        EntryInfo present;
        Inspect(files_ / entry, staged);
        if (const std::error_code error = Inspect(folder_ / entry, present)) {
            return PathFailure("Cannot read", folder_ / entry, error);
        }
        if (present.kind == EntryKind::kMissing) {
            moves.push_back(entry);
        } else if (staged.kind == EntryKind::kFolder && present.kind == EntryKind::kFolder) {
            Result planned = PlanMoves(entry, moves);
            if (!planned) {
                return planned;
            }
        } else if (staged.kind != present.kind) {
            return Result::Failure("Cannot write " + QuotePath(folder_ / entry) +
                                   ": something of that name is in the way.");
        }
        // A file of the author's of that name stays, and the package's copy is dropped.
    }
    return Result::Success();
}

Result Staging::WriteJournal(const std::vector<fs::path>& moves) {
    std::string text = std::string(kJournalHeader) + "\n";
    for (const fs::path& move : moves) {
        text += move.generic_u8string() + "\n";
    }
    const fs::path written = root_ / "journal.new";
    std::error_code error = WriteNewFile(written, text);
    if (!error) {
        error = MoveWithoutReplacing(written, journal_);  // the journal appears whole or not at all
    }
    if (error) {
        return PathFailure("Cannot write the folder", folder_, error);
    }
    WriteStep("journal written");
    return Result::Success();
}

Result Staging::ReadJournal(std::vector<fs::path>& moves) const {
    std::string text;
    if (const std::error_code error = ReadSmallFile(journal_, kMaxJournalSize, text)) {
        return PathFailure("Cannot read the record of an unfinished write-out in", root_, error);
    }
    const std::string header = std::string(kJournalHeader) + "\n";
    if (text.compare(0, header.size(), header) != 0) {
        return Result::Failure("The record of an unfinished write-out in " + QuotePath(root_) +
                               " is damaged; please look at that folder and remove it.");
    }
    std::size_t start = header.size();
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        moves.push_back(fs::u8path(text.substr(start, end - start)));
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

Result Staging::TakeBack(const std::vector<fs::path>& moves) {
    for (auto move = moves.rbegin(); move != moves.rend(); ++move) {
        // Only a move takes a staged entry away, so a missing one is in the asset folder.
        if (!IsMissing(files_ / *move) || IsMissing(folder_ / *move)) {
            continue;
        }
        if (const std::error_code error = MoveWithoutReplacing(folder_ / *move, files_ / *move)) {
            return PathFailure("Cannot take back the unfinished write-out's", folder_ / *move,
                               error);
        }
        WriteStep("taken back");
    }
    return RemoveJournal();
}

Result Staging::Merge() {
    std::vector<fs::path> moves;
    Result result = PlanMoves({}, moves);
    moves.push_back(kConfigFileName);
    if (result) {
        result = WriteJournal(moves);
    }
    for (auto move = moves.begin(); result && move != moves.end(); ++move) {
        const std::error_code error = MoveWithoutReplacing(files_ / *move, folder_ / *move);
        if (IsExistsError(error) && *move != kConfigFileName) {
            continue;  // the author has just made one of that name: theirs stays
        }
        if (IsExistsError(error)) {
            result = Result::Failure("An asset is already there: " + QuotePath(folder_) + ".");
        } else if (error) {
            result = PathFailure("Cannot write", folder_ / *move, error);
        } else {
            WriteStep("moved");
        }
    }
    if (!result) {
        if (!IsMissing(journal_)) {
            const Result undone = TakeBack(moves);
            return undone ? result : Result::Failure(result.message() + " " + undone.message());
        }
        return result;
    }
    return RemoveJournal();
}

Result Staging::Recover() {
    if (!IsMissing(journal_)) {
        std::vector<fs::path> moves;
        Result result = ReadJournal(moves);
        if (!result) {
            return result;
        }
        // config.txt moves last: once it is in place the asset is complete and stays.
        const bool finished = IsMissing(files_ / kConfigFileName);
        result = finished ? RemoveJournal() : TakeBack(moves);
        if (!result) {
            return result;
        }
    }
    return Remove();
}

Result Staging::Remove() {
    if (!IsMissing(journal_)) {
        return Result::Failure("What was written is recorded in " + QuotePath(root_) +
                               "; the next write-out of this asset takes it back.");
    }
    fs::path failed;
    if (const std::error_code error = RemoveTree(root_, failed)) {
        return PathFailure("Cannot remove the library's working folder; please remove", failed,
                           error);
    }
    WriteStep("staging removed");
    return Result::Success();
}

}  // namespace velcomp

#include "velcomp/AssetWriter.h"

#include <memory>
#include <string>
#include <vector>

#include "velcomp/AssetBuilder.h"
#include "velcomp/AssetName.h"
#include "velcomp/MessageText.h"
#include "velcomp/Staging.h"
#include "velcomp/WriteSteps.h"
#include "velcomp/platform/FileSystem.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

// The folders a write-out made for the asset folder's parents, taken away again (while
// empty) when it fails.
class MadeFolders {
public:
    MadeFolders() = default;
    MadeFolders(const MadeFolders&) = delete;
    MadeFolders& operator=(const MadeFolders&) = delete;
    ~MadeFolders() {
        if (!kept_) {
            for (auto it = folders_.rbegin(); it != folders_.rend(); ++it) {
                RemoveEntry(*it);  // fails, as it should, once anyone has put something in
            }
        }
    }
    void Add(const fs::path& folder) { folders_.push_back(folder); }
    void Keep() { kept_ = true; }

private:
    std::vector<fs::path> folders_;
    bool kept_ = false;
};

// Makes `folder` and its missing parents, outermost first.
Result MakeFolders(const fs::path& folder, MadeFolders& made) {
    std::vector<fs::path> missing;
    for (fs::path at = folder; !at.empty(); at = at.parent_path()) {
        std::error_code error;
        const fs::file_status status = fs::status(at, error);
        if (fs::is_directory(status)) {
            break;
        }
        if (status.type() != fs::file_type::not_found) {
            return PathFailure("Cannot make the folder", at,
                               error ? error : std::make_error_code(std::errc::not_a_directory));
        }
        missing.push_back(at);
        if (at == at.parent_path()) {
            break;
        }
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        std::error_code error;
        if (fs::create_directory(*it, error)) {
            made.Add(*it);
        } else if (error) {
            return PathFailure("Cannot make the folder", *it, error);
        }
    }
    return Result::Success();
}

// Each existing folder of the asset name must be a real folder known by that very name:
// never a link, and never the short (8.3) name of some other folder.
Result CheckNamedFolders(const fs::path& destination, const fs::path& name) {
    fs::path at = destination;
    for (const fs::path& part : name) {
        at /= part;
        EntryInfo info;
        if (const std::error_code error = Inspect(at, info)) {
            return PathFailure("Cannot read", at, error);
        }
        if (info.kind == EntryKind::kMissing) {
            return Result::Success();
        }
        if (info.kind != EntryKind::kFolder) {
            return Result::Failure("Cannot make the folder " + QuotePath(at) +
                                   ": something of that name is in the way.");
        }
        fs::path stored;
        if (const std::error_code error = StoredName(at, stored)) {
            return PathFailure("Cannot read", at, error);
        }
        if (!SameEntryName(stored, part)) {
            return Result::Failure("The name " + QuotePath(part) +
                                   " is another name of the folder " + QuotePath(stored) +
                                   "; please use another name.");
        }
    }
    return Result::Success();
}

// One write-out at a time per asset folder, in this process and any other.
Result Claim(const fs::path& folder, std::unique_ptr<FileClaim>& claim) {
    const fs::path lock =
        folder.parent_path() / (folder.filename().native() + NativeText(kLockSuffix));
    const std::error_code error = ClaimFile(lock, claim);
    if (error == std::errc::device_or_resource_busy) {
        return Result::Failure("Another write-out of " + QuotePath(folder) +
                               " is under way; please wait for it to end.");
    }
    if (error) {
        return PathFailure("Cannot write in the folder", folder.parent_path(), error);
    }
    WriteStep("claimed");
    return Result::Success();
}

// Nothing may stand where the asset goes but the author's own work-in-progress folder.
Result CheckTarget(const fs::path& folder, bool& exists) {
    EntryInfo config;
    if (const std::error_code error = Inspect(folder / kConfigFileName, config)) {
        return PathFailure("Cannot read the folder", folder, error);
    }
    if (config.kind != EntryKind::kMissing) {
        return Result::Failure("An asset is already there: " + QuotePath(folder) + ".");
    }
    EntryInfo info;
    Inspect(folder, info);
    if (info.kind != EntryKind::kMissing && info.kind != EntryKind::kFolder) {
        return Result::Failure("Cannot make the folder " + QuotePath(folder) +
                               ": something of that name is in the way.");
    }
    exists = info.kind == EntryKind::kFolder;
    return Result::Success();
}

Result CopyFailure(const CopyResult& copy, const fs::path& source, const fs::path& target) {
    switch (copy.outcome) {
        case CopyResult::Outcome::kSourceChanged:
            return Result::Failure("The source file " + QuotePath(source) +
                                   " has changed or gone since the asset was added; please "
                                   "add the asset again.");
        case CopyResult::Outcome::kSourceFailed:
            return PathFailure("Cannot read the source file", source, copy.error);
        default:
            return PathFailure("Cannot write", target, copy.error);
    }
}

// Copies the asset's files and its config.txt into the staging folder.
Result Stage(const Asset& asset, const ConfigFile& config, const fs::path& folder,
             const Staging& staging) {
    fs::path made = staging.files();
    for (const SourceFile& file : asset.files) {
        const fs::path target = staging.files() / file.path;
        std::error_code error;
        if (target.parent_path() != made) {  // files come sorted: each folder is made once
            made = target.parent_path();
            fs::create_directories(made, error);
            if (error) {
                return PathFailure("Cannot make the folder", folder / file.path.parent_path(),
                                   error);
            }
        }
        const CopyResult copy = CopyNewFile(asset.source / file.path, target, file.stamp);
        if (copy.outcome != CopyResult::Outcome::kCopied) {
            return CopyFailure(copy, asset.source / file.path, folder / file.path);
        }
        WriteStep("copied");
    }
    if (const std::error_code error =
            WriteNewFile(staging.files() / kConfigFileName, config.Format())) {
        return PathFailure("Cannot write", folder / kConfigFileName, error);
    }
    WriteStep("config written");
    return Result::Success();
}

Result Place(Staging& staging, bool exists) {
    if (!exists) {
        bool placed = false;
        Result result = staging.PlaceWhole(placed);
        if (!result || placed) {
            return result;
        }
        // A folder has appeared there since the check: join it as an author's folder.
    }
    return staging.Merge();
}

// Adds to a failure what the clean-up could not remove.
Result CleanUp(Result result, Staging& staging) {
    const Result removed = staging.Remove();
    return removed ? result : Result::Failure(result.message() + " " + removed.message());
}

}  // namespace

Result WriteAsset(const Asset& asset, const ConfigFile& config, const fs::path& destination) {
    WriteStep("begin");
    const fs::path name = PathFromText(asset.name);
    const fs::path folder = destination / name;
    MadeFolders made;
    Result result = CheckNamedFolders(destination, name);
    if (result) {
        result = MakeFolders(folder.parent_path(), made);
    }
    std::unique_ptr<FileClaim> claim;
    if (result) {
        result = Claim(folder, claim);
    }
    Staging staging(folder);
    if (result && staging.Exists()) {
        result = staging.Recover();  // a write-out of this name was killed
    }
    bool exists = false;
    if (result) {
        result = CheckTarget(folder, exists);
    }
    if (!result) {
        return result;
    }
    result = staging.Make();
    if (result) {
        result = Stage(asset, config, folder, staging);
    }
    if (result) {
        result = Place(staging, exists);
    }
    result = CleanUp(std::move(result), staging);
    if (result) {
        made.Keep();
        WriteStep("done");
    }
    return result;
}

}  // namespace velcomp

#include "velcomp/CopyIntoStaging.h"

#include <algorithm>

#include "contract/PackageFiles.h"
#include "velcomp/MessageText.h"
#include "velcomp/WriteSteps.h"
#include "velcomp/os/FileSystem.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

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

// Makes the staging folder's `relative` folder and those on the way to it.
std::error_code MakeStagedFolders(const fs::path& files, const fs::path& relative) {
    fs::path at = files;
    for (const fs::path& part : relative) {
        at /= part;
        const std::error_code error = MakeFolder(at);
        if (error && !IsExistsError(error)) {
            return error;
        }
    }
    return {};
}

// Whether a folder of the source is still the one that the add found, not another one
// (or a link) put in its place since.
Result CheckSourceFolder(const Asset& asset, const fs::path& relative) {
    const auto found = std::lower_bound(
        asset.folders.begin(), asset.folders.end(), relative,
        [](const SourceFolder& folder, const fs::path& path) { return folder.path < path; });
    const fs::path path = SourceRoot(asset.source) / relative;
    EntryInfo now;
    if (found != asset.folders.end() && found->path == relative && !Identify(path, now) &&
        now.kind == found->info.kind && now.stamp.id == found->info.stamp.id) {
        return Result::Success();
    }
    return Result::Failure("The source folder " + QuotePath(path) +
                           " has changed or gone since the asset was added; please add the "
                           "asset again.");
}

// Enters the folder `relative` of the source: it must still be the one that the add found,
// and its staged copy is made.
Result EnterFolder(const Asset& asset, const fs::path& relative, const StagingFolder& staging) {
    if (Result same = CheckSourceFolder(asset, relative); !same) {
        return same;
    }
    if (const std::error_code error = MakeStagedFolders(staging.files(), relative)) {
        return PathFailure("Cannot make the folder", staging.folder() / relative, error);
    }
    return Result::Success();
}

Result CopyOne(const Asset& asset, const SourceFile& file, const StagingFolder& staging) {
    const CopyResult copy =
        CopyNewFile(asset.source / file.path, staging.files() / file.path, file.stamp);
    if (copy.outcome != CopyResult::Outcome::kCopied) {
        return CopyFailure(copy, asset.source / file.path, staging.folder() / file.path);
    }
    WriteStep("copied");
    return Result::Success();
}

Result WriteConfig(const ConfigFile& config, const StagingFolder& staging) {
    if (const std::error_code error =
            WriteNewFile(staging.files() / contract::kConfigFileName, config.Format())) {
        return PathFailure("Cannot write", staging.folder() / contract::kConfigFileName, error);
    }
    WriteStep("config written");
    return Result::Success();
}

}  // namespace

Result CopyIntoStaging(const Asset& asset, const ConfigFile& config, const StagingFolder& staging) {
    if (Result unchanged = CheckSourceFolder(asset, {}); !unchanged) {
        return unchanged;
    }
    fs::path entered;
    for (const SourceFile& file : asset.files) {
        const fs::path parent = file.path.parent_path();
        if (parent != entered) {  // files come sorted: each folder is entered once
            entered = parent;
            if (Result made = EnterFolder(asset, parent, staging); !made) {
                return made;
            }
        }
        if (Result copied = CopyOne(asset, file, staging); !copied) {
            return copied;
        }
    }
    return WriteConfig(config, staging);
}

}  // namespace velcomp

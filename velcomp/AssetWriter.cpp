#include "velcomp/AssetWriter.h"

#include <memory>
#include <string>
#include <vector>

#include "contract/PackageFiles.h"
#include "names/AssetName.h"
#include "velcomp/AssetNumbers.h"
#include "velcomp/CopyIntoStaging.h"
#include "velcomp/Kuid.h"
#include "velcomp/MessageText.h"
#include "velcomp/StagingFolder.h"
#include "velcomp/WorkingItems.h"
#include "velcomp/WriteSteps.h"
#include "velcomp/merge/Merge.h"
#include "velcomp/os/FileSystem.h"

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
                RemoveIfEmpty(*it);
            }
        }
    }
    void Add(const fs::path& folder) { folders_.push_back(folder); }
    void Keep() { kept_ = true; }
    std::size_t count() const { return folders_.size(); }

private:
    std::vector<fs::path> folders_;
    bool kept_ = false;
};

// Makes `folder` and its missing parents, outermost first; links above the asset's own
// folders (an install folder elsewhere, say) are followed.
Result MakeFolders(const fs::path& folder, MadeFolders& made) {
    std::vector<fs::path> missing;
    for (fs::path at = folder; !at.empty(); at = at.parent_path()) {
        EntryKind kind = EntryKind::kMissing;
        const std::error_code error = InspectTarget(at, kind);
        if (!error && kind == EntryKind::kFolder) {
            break;
        }
        if (error || kind != EntryKind::kMissing) {
            return PathFailure("Cannot make the folder", at,
                               error ? error : std::make_error_code(std::errc::not_a_directory));
        }
        missing.push_back(at);
        if (at == at.parent_path() || !at.has_relative_path()) {
            break;
        }
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        const std::error_code error = MakeFolder(*it);
        if (!error) {
            made.Add(*it);
        } else if (!IsExistsError(error)) {
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
            return InTheWay("Cannot make the folder", at);
        }
        fs::path stored;
        if (const std::error_code error = StoredName(at, stored)) {
            return PathFailure("Cannot read", at, error);
        }
        if (!SameEntryName(stored, part)) {
            return Result::Failure("The name " + QuotePath(part) + " cannot be used: " +
                                   names::kAliasReason + " " + QuotePath(stored) + ".");
        }
    }
    return Result::Success();
}

// Nothing may stand where the asset goes but the author's own work-in-progress folder. A
// folder not there yet is looked up once: under Wine each look for a missing name lists the
// whole category folder.
Result CheckTarget(const fs::path& folder, bool& exists) {
    EntryInfo info;
    if (const std::error_code error = Inspect(folder, info)) {
        return PathFailure("Cannot read the folder", folder, error);
    }
    exists = info.kind == EntryKind::kFolder;
    if (info.kind == EntryKind::kMissing) {
        return Result::Success();
    }
    if (!exists) {
        return InTheWay("Cannot make the folder", folder);
    }
    EntryInfo config;
    if (const std::error_code error = Inspect(folder / contract::kConfigFileName, config)) {
        return PathFailure("Cannot read the folder", folder, error);
    }
    return config.kind == EntryKind::kMissing ? Result::Success() : AssetThere(folder);
}

Result Place(const StagingFolder& staging, bool exists) {
    if (!exists) {
        bool placed = false;
        Result result = staging.PlaceWhole(placed);
        if (!result || placed) {
            return result;
        }
        // A folder has appeared there since the check: join it as an author's folder.
    }
    return Merge(staging);
}

// Adds to a failure what the clean-up could not remove, keeping the path to remove whole.
Result CleanUp(const Result& result, const StagingFolder& staging) {
    const Result removed = staging.Remove();
    return removed ? result : Result::Failure(JoinMessages(result.message(), removed.message()));
}

// Finishes or undoes what killed write-outs of this folder left, and finds the staging
// folder's name for this one; `note` says what stayed for having changed.
Result RecoverKilled(const fs::path& folder, fs::path& root, std::string& note) {
    StagingPlaces places;
    if (Result found = FindStagingPlaces(folder, places); !found) {
        return found;
    }
    for (const fs::path& left : places.ours) {
        Result recovered = Recover(StagingFolder(folder, left));
        if (!recovered) {
            return recovered;
        }
        note = JoinMessages(note, recovered.message());
    }
    if (!places.ours.empty()) {
        if (Result found = FindStagingPlaces(folder, places); !found) {
            return found;
        }
    }
    if (places.free.empty()) {
        return NamesTakenFailure(places.taken);
    }
    root = places.free;
    return Result::Success();
}

// The asset's number, moved past every number that an asset of its creator already carries
// in the content tree.
Result SettleNumber(const Asset& asset, TreeNumbers& numbers, ConfigFile& config,
                    std::int32_t& number) {
    number = asset.number;
    Result settled = numbers.Settle(asset.creator, number);
    if (settled && number != asset.number) {
        config.Set(kKuidKey, KuidText(asset.creator, number));
    }
    return settled;
}

// Builds the asset in the staging folder `root` and puts it in place.
Result StageAndPlace(const Asset& asset, const ConfigFile& config, const fs::path& folder,
                     const fs::path& root, WriteClaim& claim, bool exists) {
    const StagingFolder staging(folder, root);
    if (Result made = staging.Make(claim); !made) {
        return made;
    }
    return CleanUp(InTurn([&] { return CopyIntoStaging(asset, config, staging); },
                          [&] { return Place(staging, exists); }),
                   staging);
}

// Claims the asset folder, clears up after killed write-outs and checks that nothing but
// the author's work in progress stands there.
Result Prepare(const fs::path& folder, std::unique_ptr<WriteClaim>& claim, fs::path& root,
               std::string& note, bool& exists) {
    return InTurn([&] { return WriteClaim::Take(folder, claim); },
                  [&] { return RecoverKilled(folder, root, note); },
                  [&] { return CheckTarget(folder, exists); });
}

}  // namespace

Result WriteAsset(const Asset& asset, ConfigFile config, const fs::path& destination,
                  SettingsStore& settings) {
    WriteStep("begin");
    const fs::path name = PathFromText(asset.name);
    const fs::path folder = destination / name;
    // The numbers are settled before anything of this write-out's changes the tree.
    TreeNumbers numbers(settings, ContentTree(destination));
    std::int32_t number = 0;
    MadeFolders made;
    std::unique_ptr<WriteClaim> claim;
    fs::path root;
    std::string note;
    bool exists = false;
    const Result result =
        InTurn([&] { return SettleNumber(asset, numbers, config, number); },
               [&] { return CheckNamedFolders(destination, name); },
               [&] { return MakeFolders(folder.parent_path(), made); },
               [&] { return Prepare(folder, claim, root, note, exists); },
               [&] { return StageAndPlace(asset, config, folder, root, *claim, exists); });
    if (!result) {
        return note.empty() ? result : Result::Failure(JoinMessages(result.message(), note));
    }
    made.Keep();
    claim.reset();  // the lock goes before the folder's new state is recorded
    WriteStep("placed");
    numbers.Written(folder, made.count(), asset.creator, number);
    WriteStep("done");
    return Result::Success(note);
}

}  // namespace velcomp

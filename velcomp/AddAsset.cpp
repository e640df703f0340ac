#include "velcomp/AddAsset.h"

#include <algorithm>
#include <map>

#include "contract/PackageFiles.h"
#include "names/AssetName.h"
#include "velcomp/AssetNumbers.h"
#include "velcomp/CreatorIdentity.h"
#include "velcomp/Kuid.h"
#include "velcomp/MessageText.h"
#include "velcomp/os/FileSystem.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

// What the walk of a source folder found wrong, with the entry it concerns.
struct WalkProblem {
    fs::path entry;  // relative to the source folder
    std::string reason;
};

// A name as Windows compares names in a folder: ASCII letters in one case.
fs::path::string_type FoldedName(const fs::path& name) {
    fs::path::string_type folded = name.native();
    for (auto& c : folded) {
        c = names::AsciiUpper(c);
    }
    return folded;
}

// A name that Windows cannot keep, or that it would take for another in the same folder.
std::optional<WalkProblem> NameProblem(const fs::path& relative,
                                       const std::vector<FolderEntry>& entries) {
    std::map<fs::path::string_type, fs::path> seen;
    for (const FolderEntry& entry : entries) {
        const names::Verdict usable = names::CheckSourceEntryName(
            std::basic_string_view<fs::path::value_type>(entry.name.native()));
        if (!usable) {
            return WalkProblem{relative / entry.name,
                               "cannot be copied: " + usable.message() + "; please rename it"};
        }
        const auto [twin, added] = seen.emplace(FoldedName(entry.name), entry.name);
        if (!added) {
            return WalkProblem{relative / entry.name,
                               "and " + Quote(TextFromPath(twin->second)) +
                                   " differ only in case, which Windows does not tell apart; "
                                   "please rename one"};
        }
    }
    return std::nullopt;
}

// Lists the files under folder/relative with their stamps, and the folders. A link,
// junction, anything but a file or folder, or a name that Windows cannot keep stops the
// walk: nothing is followed out of the source, and nothing is silently left out.
std::optional<WalkProblem> ListFiles(const fs::path& folder, const fs::path& relative, Asset& asset,
                                     std::optional<SourceFile>& configFile);

// Takes one entry of the source's folder `relative` into the asset: a file, or a folder with
// what it holds; anything else is a problem.
std::optional<WalkProblem> TakeEntry(const fs::path& folder, const fs::path& relative,
                                     const FolderEntry& entry, Asset& asset,
                                     std::optional<SourceFile>& configFile) {
    const fs::path name = relative / entry.name;
    switch (entry.info.kind) {
        case EntryKind::kFolder:
            asset.folders.push_back({name, entry.info});
            return ListFiles(folder, name, asset, configFile);
        case EntryKind::kFile:
            if (relative.empty() && IsConfigFileName(name)) {
                configFile = SourceFile{name, entry.info.stamp};
            } else {
                asset.files.push_back({name, entry.info.stamp});
            }
            return std::nullopt;
        case EntryKind::kLink:
            return WalkProblem{name, "is a link; links are not followed"};
        case EntryKind::kOther:
        case EntryKind::kMissing:
            break;
    }
    return WalkProblem{name, "is neither a file nor a folder"};
}

std::optional<WalkProblem> ListFiles(const fs::path& folder, const fs::path& relative, Asset& asset,
                                     std::optional<SourceFile>& configFile) {
    std::vector<FolderEntry> entries;
    if (const std::error_code error = ListFolder(folder / relative, entries)) {
        return WalkProblem{relative, "cannot be read (" + DescribeError(error) + ")"};
    }
    if (auto problem = NameProblem(relative, entries)) {
        return problem;
    }
    for (const FolderEntry& entry : entries) {
        if (auto problem = TakeEntry(folder, relative, entry, asset, configFile)) {
            return problem;
        }
    }
    return std::nullopt;
}

// The source folder's config.txt; the message says why it cannot be used.
Result ReadSourceConfig(const fs::path& file, ConfigFile& config) {
    std::string text;
    if (const std::error_code error = ReadSmallFile(file, kMaxConfigSize, text)) {
        return Result::Failure(error == std::errc::file_too_large
                                   ? "is larger than 1 MiB."
                                   : "cannot be read (" + DescribeError(error) + ").");
    }
    const Result parsed = config.Parse(text);
    return parsed ? parsed : Result::Failure("cannot be used: " + parsed.message());
}

Result CheckName(std::string_view name) {
    const fs::path::string_type text = NativeText(name);
    const names::Verdict check =
        names::CheckAssetName(std::basic_string_view<fs::path::value_type>(text));
    if (!check) {
        return Result::Failure("The asset name " + Quote(name) +
                               " cannot be used: " + check.message() + ".");
    }
    return Result::Success();
}

// The source folder itself, as the write-out will look for it: links in it followed.
Result CheckSourceFolder(std::string_view source, const fs::path& folder, Asset& asset) {
    EntryKind kind = EntryKind::kMissing;
    EntryInfo itself;
    std::error_code error = InspectTarget(folder, kind);
    if (!error && kind == EntryKind::kFolder) {
        error = Identify(SourceRoot(folder), itself);
    }
    if (kind == EntryKind::kMissing && !error) {
        return Result::Failure("The source folder " + Quote(source) + " does not exist.");
    }
    if (error) {
        return Result::Failure("The source folder " + Quote(source) + " cannot be read (" +
                               DescribeError(error) + ").");
    }
    if (kind != EntryKind::kFolder) {
        return Result::Failure("The source " + Quote(source) + " is not a folder.");
    }
    asset.folders = {{{}, itself}};
    return Result::Success();
}

// The files of the source folder, and its config.txt, the start of the asset's.
Result ReadSource(std::string_view source, Asset& asset) {
    std::optional<SourceFile> configFile;
    if (const auto problem = ListFiles(asset.source, {}, asset, configFile)) {
        if (problem->entry.empty()) {
            return Result::Failure("The source folder " + Quote(source) + " " + problem->reason +
                                   ".");
        }
        return Result::Failure("In the source folder " + Quote(source) + ", " +
                               Quote(TextFromPath(problem->entry)) + " " + problem->reason + ".");
    }
    if (configFile) {
        const Result read = ReadSourceConfig(asset.source / configFile->path, asset.sourceConfig);
        if (!read) {
            return Result::Failure("The config.txt of " + Quote(source) + " " + read.message());
        }
    }
    std::sort(asset.files.begin(), asset.files.end(),
              [](const SourceFile& a, const SourceFile& b) { return a.path < b.path; });
    std::sort(asset.folders.begin(), asset.folders.end(),
              [](const SourceFolder& a, const SourceFolder& b) { return a.path < b.path; });
    return Result::Success();
}

// What the host shows as the asset's name: the last folder of a name with subfolders.
std::string DisplayName(std::string_view name) {
    const fs::path::string_type native = NativeText(name);
    const std::size_t cut = native.find_last_of(static_cast<fs::path::value_type>('\\'));
    return cut == fs::path::string_type::npos ? std::string(name)
                                              : TextFromPath(fs::path(native.substr(cut + 1)));
}

// The creator identifier with a new asset number, taken last so that no check burns one.
Result GiveIdentity(const AssetRequest& request, SettingsStore& settings, Asset& asset) {
    std::int32_t kuid = 0;
    Result taken = CreatorKuidForNewAsset(settings, kuid);
    std::int32_t number = 0;
    if (taken) {
        taken = TakeAssetNumber(settings, number);
    }
    if (!taken) {
        return taken;
    }
    asset.creator = kuid;
    asset.number = number;
    asset.identity = {
        {kKuidKey, KuidText(kuid, number)},
        {kNameKey, DisplayName(request.name)},
        {kDescriptionKey, std::string(request.description)},
    };
    if (request.classCode && !request.classCode->empty()) {
        asset.identity.emplace_back(kClassKey, std::string(*request.classCode));
    }
    return Result::Success();
}

}  // namespace

Result BuildAsset(const AssetRequest& request, SettingsStore& settings, Asset& asset) {
    if (Result checked = CheckName(request.name); !checked) {
        return checked;
    }
    asset = Asset{};
    asset.name = std::string(request.name);
    asset.source = PathFromText(request.source);
    return InTurn([&] { return CheckSourceFolder(request.source, asset.source, asset); },
                  [&] { return ReadSource(request.source, asset); },
                  [&] { return GiveIdentity(request, settings, asset); });
}

}  // namespace velcomp

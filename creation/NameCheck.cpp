#include "creation/NameCheck.h"

#include "contract/PackageFiles.h"
#include "creation/CodePageText.h"
#include "creation/Locations.h"
#include "creation/Messages.h"
#include "names/AssetName.h"

namespace kitwright {
namespace {


// An existing folder on the way must be known by the very name typed, not be another name
// (an 8.3 short name) for one.
std::wstring AliasProblem(Platform& platform, const std::string& destination,
                          const std::wstring& name, const std::string& bytes) {
    std::string folder = destination;
    for (std::size_t start = 0; start <= bytes.size();) {
        const std::size_t end = NextBackslash(platform, bytes, start);
        const std::string part = bytes.substr(start, end - start);
        const std::string stored = platform.StoredNameIfOther(folder + part);
        if (!stored.empty()) {
            return messages::Alias(platform, name, folder, stored);
        }
        folder += part + "\\";
        start = end + 1;
    }
    return {};
}

// The library's own rules, which need no disk.
std::wstring RuleProblem(Platform& platform, const std::wstring& name) {
    const names::Verdict check = names::CheckAssetName(std::wstring_view(name));
    return check ? std::wstring() : messages::NameRefused(name, platform.WideText(check.message()));
}

}  // namespace

std::string DestinationFolder(const std::string& installRoot, const ClassRow& row) {
    return installRoot + "\\World\\Custom\\" + row.category + "\\";
}

std::wstring NameProblem(Platform& platform, const std::string& destination,
                         const std::wstring& name, const std::string& bytes) {
    if (std::wstring rules = RuleProblem(platform, name); !rules.empty()) {
        return rules;
    }
    if (std::wstring alias = AliasProblem(platform, destination, name, bytes); !alias.empty()) {
        return alias;
    }
    const std::string assetFolder = destination + bytes;
    if (!names::FitsWindowsPath(assetFolder)) {
        return messages::PathTooLong(platform, assetFolder);
    }
    if (platform.PathExists(assetFolder + "\\" + contract::kConfigFileName)) {
        return messages::AssetExists();
    }
    return {};
}

std::wstring TypedNameProblem(Platform& platform, const ClassRow& row, const std::wstring& name) {
    if (name.empty()) {
        return {};
    }
    const CodePageText bytes = ToCodePageExactly(platform, name);
    if (!bytes.exact()) {
        return messages::NameUnstorable(platform, name, bytes.unstorable);
    }
    PathBuffer installRoot = {};
    GetInstallPath(platform, installRoot);
    const std::string destination = DestinationFolder(installRoot, row);
    if (installRoot[0] == '\0' || !names::FitsWindowsPath(destination)) {
        return RuleProblem(platform, name);  // the disk's part is Create's to report
    }
    return NameProblem(platform, destination, name, bytes.bytes);
}

}  // namespace kitwright

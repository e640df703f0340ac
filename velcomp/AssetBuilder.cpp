#include "velcomp/AssetBuilder.h"

#include <algorithm>
#include <cctype>

#include "velcomp/AssetName.h"
#include "velcomp/CreatorIdentity.h"
#include "velcomp/MessageText.h"
#include "velcomp/platform/Platform.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

bool IsConfigFileName(const fs::path& name) {
    const std::string text = TextFromPath(name);
    return std::equal(
        text.begin(), text.end(), std::begin(kConfigFileName), std::end(kConfigFileName) - 1,
        [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

// Lists the regular files under folder/relative; folders reached through links are not
// entered, so a link loop cannot trap the walk.
std::error_code ListFiles(const fs::path& folder, const fs::path& relative, Asset& asset,
                          std::optional<fs::path>& settingsFile) {
    std::error_code error;
    for (fs::directory_iterator it(folder / relative, error), end; !error && it != end;
         it.increment(error)) {
        const fs::path name = relative / it->path().filename();
        std::error_code typeError;
        if (it->is_directory(typeError) && !it->is_symlink(typeError)) {
            error = ListFiles(folder, name, asset, settingsFile);
        } else if (!it->is_regular_file(typeError)) {
            continue;
        } else if (relative.empty() && IsConfigFileName(name)) {
            settingsFile = name;
        } else {
            asset.files.push_back(name);
        }
        if (error) {
            break;
        }
    }
    return error;
}

Result CheckName(std::string_view name) {
    const fs::path::string_type text = NativeText(name);
    Result check = CheckAssetName(std::basic_string_view<fs::path::value_type>(text));
    if (!check) {
        return Result::Failure("The asset name " + Quote(name) +
                               " cannot be used: " + check.message() + ".");
    }
    return check;
}

Result CheckSourceFolder(std::string_view source, const fs::path& folder) {
    std::error_code error;
    const fs::file_status status = fs::status(folder, error);
    if (status.type() == fs::file_type::not_found) {
        return Result::Failure("The source folder " + Quote(source) + " does not exist.");
    }
    if (error) {
        return Result::Failure("The source folder " + Quote(source) + " cannot be read (" +
                               error.message() + ").");
    }
    if (!fs::is_directory(status)) {
        return Result::Failure("The source " + Quote(source) + " is not a folder.");
    }
    return Result::Success();
}

// The files of the source folder, and its config.txt as the asset's first settings.
Result ReadSource(std::string_view source, Asset& asset) {
    std::optional<fs::path> settingsFile;
    const std::error_code error = ListFiles(asset.source, {}, asset, settingsFile);
    if (error) {
        return Result::Failure("The source folder " + Quote(source) + " cannot be read (" +
                               error.message() + ").");
    }
    if (settingsFile) {
        const Result read = ReadConfigFile(asset.source / *settingsFile, asset.settings);
        if (!read) {
            return Result::Failure("The config.txt of " + Quote(source) +
                                   " cannot be used: " + read.message());
        }
    }
    std::sort(asset.files.begin(), asset.files.end());
    return Result::Success();
}

// The creator identifier with a new asset number, taken last so that no check burns one.
Result GiveIdentity(const AssetRequest& request, SettingsStore& settings, Asset& asset) {
    const std::int32_t kuid = ReadCreatorKuid(settings);
    if (kuid == 0) {
        return Result::Failure(
            "No creator identifier is set. Set one with Nameplate.exe, then try again.");
    }
    std::int32_t number = 0;
    Result taken = TakeAssetNumber(settings, number);
    if (!taken) {
        return taken;
    }
    asset.identity = {
        {kKuidKey, "<kuid:" + std::to_string(kuid) + ":" + std::to_string(number) + ">"},
        {kNameKey, std::string(request.name)},
        {kDescriptionKey, std::string(request.description)},
    };
    if (request.classCode && !request.classCode->empty()) {
        asset.identity.emplace_back(kClassKey, std::string(*request.classCode));
    }
    return Result::Success();
}

}  // namespace

Result BuildAsset(const AssetRequest& request, SettingsStore& settings, Asset& asset) {
    Result result = CheckName(request.name);
    if (!result) {
        return result;
    }
    asset = Asset{};
    asset.name = std::string(request.name);
    asset.source = PathFromText(request.source);
    result = CheckSourceFolder(request.source, asset.source);
    if (result) {
        result = ReadSource(request.source, asset);
    }
    if (result) {
        result = GiveIdentity(request, settings, asset);
    }
    return result;
}

}  // namespace velcomp

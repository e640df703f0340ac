// Turns a source folder, a name and a description into an asset a package can hold.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "velcomp/Package.h"
#include "velcomp/Result.h"
#include "velcomp/SettingsStore.h"

namespace velcomp {

struct AssetRequest {
    std::string_view source;  // 8-bit path of the source folder
    std::string_view name;    // folders joined by backslashes
    std::string_view description;
    std::optional<std::string_view> classCode;
};

// Checks the request, lists the source folder's files and gives the asset a new
// identity; a failure leaves `asset` unspecified and says why.
Result BuildAsset(const AssetRequest& request, SettingsStore& settings, Asset& asset);

}  // namespace velcomp

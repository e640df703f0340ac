// Writes an asset out as a folder: its files first, its config.txt last and whole.
#pragma once

#include <filesystem>

#include "velcomp/ConfigFile.h"
#include "velcomp/Package.h"
#include "velcomp/Result.h"

namespace velcomp {

// Writes `asset` into `folder`, creating the folders that are missing. Files already
// there are kept, never replaced. On failure everything written is removed again and
// the folder holds no config.txt of ours.
Result WriteAsset(const Asset& asset, const ConfigFile& config,
                  const std::filesystem::path& folder);

}  // namespace velcomp

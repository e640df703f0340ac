// Copies an asset's files into a staging folder, from a source folder that must still be
// as the add found it.
#pragma once

#include <filesystem>

#include "velcomp/ConfigFile.h"
#include "velcomp/Package.h"
#include "velcomp/Result.h"
#include "velcomp/Staging.h"

namespace velcomp {

// Copies the asset's files and then its config.txt into the staging folder; `folder` is the
// asset folder, which messages name. A source file or folder that has changed or gone since
// the add fails it, named.
Result Stage(const Asset& asset, const ConfigFile& config, const std::filesystem::path& folder,
             const Staging& staging);

}  // namespace velcomp

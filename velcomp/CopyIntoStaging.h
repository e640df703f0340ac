// Copies an asset's files into a staging folder, from a source folder that must still be
// as the add found it.
#pragma once

#include "velcomp/ConfigFile.h"
#include "velcomp/Package.h"
#include "velcomp/Result.h"
#include "velcomp/StagingFolder.h"

namespace velcomp {

// Copies the asset's files and then its config.txt into the staging folder; messages name
// the asset folder. A source file or folder that has changed or gone since the add fails
// it, named.
Result CopyIntoStaging(const Asset& asset, const ConfigFile& config, const StagingFolder& staging);

}  // namespace velcomp

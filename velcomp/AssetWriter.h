// Writes an asset out as a folder that appears complete or not at all.
#pragma once

#include <filesystem>

#include "velcomp/ConfigFile.h"
#include "velcomp/Package.h"
#include "velcomp/Result.h"

namespace velcomp {

// Writes `asset` into destination + its name, creating the folders that are missing.
// A folder already there (the author's work in progress) keeps every entry it holds; the
// package's files join it without replacing any. A folder with config.txt is always a
// complete asset: everything is built in a staging folder beside it first and put in
// place with config.txt last. A failed write-out leaves nothing of its own behind, and a
// killed one is finished or undone by the next write-out of that name, whose success's
// note names what it left because the author had changed it.
Result WriteAsset(const Asset& asset, const ConfigFile& config,
                  const std::filesystem::path& destination);

}  // namespace velcomp

// Writes an asset out as a folder that appears complete or not at all.
#pragma once

#include <filesystem>

#include "velcomp/ConfigFile.h"
#include "velcomp/Package.h"
#include "velcomp/Result.h"
#include "velcomp/SettingsStore.h"

namespace velcomp {

// Writes `asset` into destination + its name, creating the folders that are missing.
// A folder already there (the author's work in progress) keeps every entry it holds; the
// package's files join it without replacing any. A folder with config.txt is always a
// complete asset: everything is built in a staging folder beside it first and put in
// place with config.txt last. A failed write-out leaves nothing of its own behind, and a
// killed one is finished or undone by the next write-out of that name, whose success's
// note names what it left because the author had changed it. The asset's number changes
// when an asset under the same content tree carries it already (`settings` keeps the
// counter).
Result WriteAsset(const Asset& asset, ConfigFile config, const std::filesystem::path& destination,
                  SettingsStore& settings);

}  // namespace velcomp

// Undoes a merge that failed or was killed, as far as it is still the merge's own: an entry
// is taken back only while it is the very entry that the merge moved, unchanged. Whatever the
// author has added or changed since stays where it is, and so does a folder that now holds
// anything of the author's.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "velcomp/merge/MergePlan.h"
#include "velcomp/Result.h"

namespace velcomp {

// Takes back from `folder` what `plan` moved there from `staged`; `changed` receives our
// files that stay because they have changed since (they are the author's now).
Result TakeBack(const std::filesystem::path& folder, const std::filesystem::path& staged,
                const MergePlan& plan, std::vector<std::filesystem::path>& changed);

// What the author should know of the files that stayed; empty when none did.
std::string ChangedFilesNote(const std::vector<std::filesystem::path>& changed);

}  // namespace velcomp

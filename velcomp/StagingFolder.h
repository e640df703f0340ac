// A staging folder beside an asset folder, where a write-out builds the asset before it is
// put in place.
//
//   <staging>\mark        says that the folder is the library's, and for which asset
//   <staging>\files\      the asset as it is being built
//   <staging>\journal     while staged entries move into an existing folder (merge/Merge.h)
#pragma once

#include <filesystem>

#include "velcomp/Result.h"
#include "velcomp/WorkingItems.h"

namespace velcomp {

class StagingFolder {
public:
    // The staging folder `root` of the asset folder `folder`.
    StagingFolder(const std::filesystem::path& folder, const std::filesystem::path& root);

    const std::filesystem::path& folder() const { return folder_; }
    const std::filesystem::path& root() const { return root_; }
    const std::filesystem::path& files() const { return files_; }
    const std::filesystem::path& journal() const { return journal_; }

    // Makes the empty, marked staging folder, noted first in the claim; it must not exist.
    Result Make(WriteClaim& claim) const;

    // Puts the staged asset where no folder stands yet, in one step. `placed` is false,
    // with success, when a folder has appeared there meanwhile.
    Result PlaceWhole(bool& placed) const;

    // Removes the staging folder and everything in it, unless a journal says that a merge
    // is yet to be finished or undone.
    Result Remove() const;

private:
    std::filesystem::path folder_;
    std::filesystem::path root_;
    std::filesystem::path files_;
    std::filesystem::path journal_;
};

// Whether nothing stands at `path`.
bool IsMissing(const std::filesystem::path& path);

}  // namespace velcomp

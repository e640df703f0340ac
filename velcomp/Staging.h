// A staging folder beside an asset folder, where a write-out builds the asset before it is
// put in place, and the journal that lets a later run finish or undo a killed one.
//
//   <staging>\mark        says that the folder is the library's, and for which asset
//   <staging>\files\      the asset as it is being built
//   <staging>\journal     while staged entries move into an existing folder
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "velcomp/MergePlan.h"
#include "velcomp/Result.h"
#include "velcomp/WorkingItems.h"

namespace velcomp {

class Staging {
public:
    // The staging folder `root` of the asset folder `folder`.
    Staging(const std::filesystem::path& folder, const std::filesystem::path& root);

    const std::filesystem::path& root() const { return root_; }
    const std::filesystem::path& files() const { return files_; }

    // Makes the empty, marked staging folder, noted first in the claim; it must not exist.
    Result Make(WriteClaim& claim);

    // Puts the staged asset where no folder stands yet, in one step. `placed` is false,
    // with success, when a folder has appeared there meanwhile.
    Result PlaceWhole(bool& placed);

    // Moves the staged entries into the existing folder without replacing any entry there,
    // checks that each stands in its place, and moves config.txt last. On failure it takes
    // back what it moved, as far as that is unchanged, and says what stayed.
    Result Merge();

    // Leaves a killed run's asset complete, if its config.txt was already in place, or
    // else takes back what it moved, as far as that is unchanged; then removes the staging
    // folder. The success's note names our files that stayed for having changed.
    Result Recover();

    // Removes the staging folder and everything in it.
    Result Remove();

private:
    Result WriteJournal(const MergePlan& plan);
    Result ReadJournal(MergePlan& plan) const;
    Result MoveAll(MergePlan& plan);
    Result MoveConfig();
    // Takes back a failed merge's moves; the failure, with what could not be undone or stayed.
    Result Undo(const Result& failure, const MergePlan& plan);
    Result RemoveJournal();

    std::filesystem::path folder_;
    std::filesystem::path root_;
    std::filesystem::path files_;
    std::filesystem::path journal_;
};

}  // namespace velcomp

// The staging folder beside an asset folder, where a write-out builds the asset before
// it is put in place, and the journal that lets a later run finish or undo a killed one.
//
//   <asset>.velcomp-staging\files\     the asset as it is being built
//   <asset>.velcomp-staging\journal    while staged entries move into an existing folder
//
// Only the library makes these names (asset names may not end in the suffix), so
// everything under a staging folder is the library's own and may be removed.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "velcomp/Result.h"

namespace velcomp {

class Staging {
public:
    // The staging place of the asset folder `folder`.
    explicit Staging(const std::filesystem::path& folder);

    const std::filesystem::path& root() const { return root_; }
    const std::filesystem::path& files() const { return files_; }
    bool Exists() const;

    // Makes the empty staging folder; it must not exist yet.
    Result Make();

    // Puts the staged asset where no folder stands yet, in one step. `placed` is false,
    // with success, when a folder has appeared there meanwhile.
    Result PlaceWhole(bool& placed);

    // Moves the staged entries into the existing folder without replacing any entry
    // there, config.txt last; on failure every entry moved is taken back.
    Result Merge();

    // Leaves a killed run's asset as it was before that run or, if its config.txt was
    // already in place, complete; then removes the staging folder.
    Result Recover();

    // Removes the staging folder and everything in it.
    Result Remove();

private:
    Result WriteJournal(const std::vector<std::filesystem::path>& moves);
    Result ReadJournal(std::vector<std::filesystem::path>& moves) const;
    Result PlanMoves(const std::filesystem::path& relative,
                     std::vector<std::filesystem::path>& moves) const;
    // Takes entries moved into the asset folder back into staging, newest first.
    Result TakeBack(const std::vector<std::filesystem::path>& moves);
    Result RemoveJournal();

    std::filesystem::path folder_;
    std::filesystem::path root_;
    std::filesystem::path files_;
    std::filesystem::path journal_;
};

}  // namespace velcomp

// What a merge of a staged asset into the author's folder moves, and how each entry stood
// when it was moved, so that only what is still as the merge left it is ever taken back.
#pragma once

#include <filesystem>
#include <vector>

#include "velcomp/Result.h"
#include "velcomp/os/FileSystem.h"

namespace velcomp {

// One entry that the merge moves into the asset folder, or that comes along inside a
// folder that it moves.
struct PlannedMove {
    std::filesystem::path path;  // the same below the staging folder and the asset folder
    EntryKind kind = EntryKind::kFile;
    // As staged; for an entry moved on its own, the change time after its move once placed.
    FileStamp stamp;
    int carrier = -1;     // the folder move that brings it; -1 for an entry moved on its own
    bool placed = false;  // moved, with its change time after the move in `stamp`
};

struct MergePlan {
    // Each entry moved on its own, in order, followed by everything that it brings.
    std::vector<PlannedMove> moves;
    // Package files of which the author's own, already there, stands in place.
    std::vector<std::filesystem::path> kept;
};

// Plans the moves of what is staged in `staged` and missing from `folder`, config.txt
// aside, which moves last. A file of the author's of the same name stays, and the package's
// is dropped; a file where a folder goes, or the other way round, fails the plan.
Result PlanMerge(const std::filesystem::path& staged, const std::filesystem::path& folder,
                 MergePlan& plan);

// Whether every entry of the package stands at its place in `folder`: each file moved with
// its size, each folder as a folder, and each of the author's files that stand in for ours.
Result CheckPlaced(const std::filesystem::path& folder, const MergePlan& plan);

}  // namespace velcomp

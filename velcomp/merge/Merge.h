// Moving a staged asset into a folder that already stands there (the author's work in
// progress), with the journal that lets a later run finish or undo a killed merge.
#pragma once

#include "velcomp/Result.h"
#include "velcomp/StagingFolder.h"

namespace velcomp {

// Moves the staged entries into the existing folder without replacing any entry there,
// checks that each stands in its place, and moves config.txt last. On failure it takes back
// what it moved, as far as that is unchanged, and says what stayed.
Result Merge(const StagingFolder& staging);

// Leaves a killed run's asset complete, if its config.txt was already in place, or else
// takes back what it moved, as far as that is unchanged; then removes the staging folder.
// The success's note names our files that stayed for having changed.
Result Recover(const StagingFolder& staging);

}  // namespace velcomp

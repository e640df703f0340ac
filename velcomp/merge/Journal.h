// The record of a merge in progress, written before its first move and added to after
// each, from which a later write-out takes back a killed merge. Each name is stored with
// its length before it, so that no character of it (a line break included) can be read
// as anything else.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "velcomp/merge/MergePlan.h"
#include "velcomp/Result.h"

namespace velcomp {

// The record of `plan` before its first move.
std::string JournalText(const MergePlan& plan);

// The line added once move `index` is in place, with its change time there.
std::string PlacedLine(std::size_t index, std::int64_t changed);

// Reads a record back into the moves of `plan`, each placed one with its change time; an
// unfinished last line (its process died while writing it) does not count. False for a
// record that is not one of ours or is damaged.
bool ParseJournal(std::string_view text, MergePlan& plan);

}  // namespace velcomp

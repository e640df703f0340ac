// The asset numbers of the author's new assets: the counter in the author's settings hands
// them out, and no write-out gives a number that an asset of the same creator in the content
// tree already carries, for another PC, another account or a reinstalled system starts the
// counter again at 1. What the tree's assets carry comes from an index (NumberIndex.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

#include "velcomp/NumberIndex.h"
#include "velcomp/Result.h"
#include "velcomp/SettingsStore.h"

namespace velcomp {

inline constexpr char kNextAssetNumberValue[] = "NextAssetNumber";

// Hands out the next asset number, never the same one twice, even to several processes.
Result TakeAssetNumber(SettingsStore& settings, std::int32_t& number);

// The host's tree of custom content that `destination` lies in (the World\Custom folder
// above it), or the destination itself when it lies in none.
std::filesystem::path ContentTree(const std::filesystem::path& destination);

// The numbers that the assets of `creator` carry below `tree`, read from the whole tree now:
// the kuid lines of the config.txt of every asset folder, links not followed.
std::set<std::int32_t> NumbersInUse(const std::filesystem::path& tree, std::int32_t creator);

// The asset numbers of one content tree, for one write-out into it.
class TreeNumbers {
public:
    TreeNumbers(SettingsStore& settings, std::filesystem::path tree);

    // Keeps `number` when no asset of `creator` in the tree carries it yet, or gives the first
    // number past every one that they carry; either way the counter moves past them all.
    Result Settle(std::int32_t creator, std::int32_t& number);

    // Records that the write-out put an asset carrying `number` at `folder`, having made the
    // last `made` folders on the way to it, so that the next write-out need not look at the
    // tree again for its sake.
    void Written(const std::filesystem::path& folder, std::size_t made, std::int32_t creator,
                 std::int32_t number);

    // What bringing the index up to date took at Settle.
    const RefreshCost& cost() const { return cost_; }

private:
    // Reads the stored index; false when there is none that can be trusted for this tree.
    bool Load(NumberIndex& index);
    // Stores the index whole, or leaves the stored one as it was.
    void Save();

    SettingsStore& settings_;
    std::filesystem::path tree_;
    std::filesystem::path file_;
    NumberIndex index_;
    // What the stored index had gathered when it was read, past the most where one was cut.
    std::size_t additions_ = 0;
    RefreshCost cost_;
};

}  // namespace velcomp

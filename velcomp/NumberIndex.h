// The kuids that the assets of a content tree carry, with the facts that prove them
// current, kept between write-outs as git keeps its index: a write-out looks again only
// where a folder's last write has changed, instead of reading the whole tree.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "velcomp/os/FileSystem.h"

namespace velcomp {

// A folder of the tree that is an asset (it holds config.txt) or can lead to one: a category,
// or a folder on the way such as Scenery\Shops. An asset's own folders are not followed.
struct IndexedFolder {
    std::filesystem::path::string_type name;
    std::uint64_t id = 0;      // the file ID that its parent's listing gave
    std::int64_t written = 0;  // its last write when it was last looked at
    bool asset = false;
    // Looked at so soon after its last write that a change within the same tick of the
    // clock would not show: it is looked at again next time, whatever its time says.
    bool racy = false;
    // Its last write is one that a write-out set, a tick before the one its own change gave:
    // no later change can give the folder that time again, however coarse the clock.
    bool marked = false;
    FileStamp config;  // an asset's config.txt: its size and last write
    std::vector<std::pair<std::int64_t, std::int64_t>> kuids;  // an asset's: creator, number
    std::vector<IndexedFolder> children;                       // a folder's, sorted by name
    // A folder's assets as the stored index held them, made records of only where needed:
    // most of a large tree's assets are never looked at again.
    std::string packed;
    std::size_t packedCount = 0;
    bool packedRacy = false;  // one of them is racy
};

struct NumberIndex {
    std::filesystem::path::string_type tree;  // the folder the tree starts at
    bool present = false;                     // whether that folder was there
    TreeOrigin origin;
    std::int64_t saved = 0;  // the clock when the index was last brought up to date
    IndexedFolder root;
};

// What bringing an index up to date took: the folders listed and the config.txt files read.
struct RefreshCost {
    std::size_t listed = 0;
    std::size_t read = 0;
};

// The additions that a stored index may gather before it is stored whole again.
constexpr std::size_t kMostAdditions = 64;

// What bringing an index up to date changed in it, for the stored index: additions to its
// bytes where only assets were found or read again, else `whole`, to store it whole.
struct IndexChanges {
    bool whole = false;
    std::string additions;
    std::size_t count = 0;  // the additions
};

// Brings `index` up to date with the tree at `tree`: an index of another tree, or of a tree
// that has moved to another folder or disk, is made afresh by walking the tree. Where the
// file system keeps no folder times, or the clock has been put back since, every folder is
// listed again (the config.txt files of unchanged assets are not read again).
RefreshCost Refresh(NumberIndex& index, const std::filesystem::path& tree,
                    IndexChanges* changes = nullptr);

// The numbers that the assets of `creator` carry.
std::set<std::int32_t> NumbersOf(const NumberIndex& index, std::int32_t creator);

// As much of that as a new asset's number needs: the highest, and whether one carries `number`.
struct Carried {
    bool any = false;
    std::int32_t highest = 0;
    bool number = false;
};
Carried CarriedNumbers(const NumberIndex& index, std::int32_t creator, std::int32_t number);

// Records what a write-out has just done: the asset at tree / `way` (its folders one by one,
// the asset's own last) carries `creator`'s `number`; the last `made` folders on its way
// before the asset's own are new, made by the write-out. Gives the record as an addition to
// the stored index's bytes, or nothing where the index is to be stored whole.
std::string RecordWritten(NumberIndex& index, const std::filesystem::path& tree,
                          const std::vector<std::filesystem::path>& way, std::size_t made,
                          std::int32_t creator, std::int32_t number);

// The index as bytes: its length, the index, and a checksum of it. Additions that
// RecordWritten gave may follow.
std::string FormatIndex(const NumberIndex& index);

// A 64-bit hash of `bytes`: the checksum of FormatIndex's bytes, and the index file's name.
std::uint64_t IndexChecksum(std::string_view bytes);

// The additions that followed a stored index: how many were applied, and whether one that a
// kill cut short, or that is damaged, ended them (what follows it is not read).
struct StoredAdditions {
    std::size_t applied = 0;
    bool cut = false;
};

// Reads what FormatIndex wrote and the additions after it; false, leaving `index` unspecified,
// for anything else: a damaged, cut or foreign index is never trusted.
bool ParseIndex(std::string_view bytes, NumberIndex& index, StoredAdditions* additions = nullptr);

}  // namespace velcomp

#include "velcomp/AssetNumbers.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>

#include "velcomp/WriteSteps.h"
#include "velcomp/os/FileSystem.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

constexpr std::uint32_t kLargestNumber = std::numeric_limits<std::int32_t>::max();

// An index larger than this (about 800,000 assets) is not read; the tree is walked instead.
constexpr std::uintmax_t kLargestIndex = std::uintmax_t{64} * 1024 * 1024;

// The counter as stored: 1 when absent; a failure, with its reason, when it cannot be read
// or could hand out a number already used.
Result ReadCounter(SettingsStore& settings, std::uint32_t& next) {
    const std::string where = std::string(kNextAssetNumberValue) + " in " + settings.Where();
    const StoredValue stored = settings.Read(kNextAssetNumberValue);
    if (stored.kind == StoredValue::Kind::kUnreadable) {
        return Result::Failure("The asset counter (" + where + ") cannot be read (" +
                               stored.reason + "), so no asset number was given.");
    }
    const std::optional<std::uint32_t> number =
        stored.kind == StoredValue::Kind::kAbsent ? 1 : StoredNumber(stored);
    if (!number || *number < 1 || *number > kLargestNumber) {
        return Result::Failure("The stored asset counter (" + where +
                               ") is damaged, so no new asset number can be given safely.");
    }
    next = *number;
    return Result::Success();
}

Result AllNumbersUsed() {
    return Result::Failure("Every asset number has been used.");
}

// Moves `number` and the counter past what is carried, as Settle says; the caller holds the
// settings.
Result SettleCounter(SettingsStore& settings, const Carried& carried, std::int32_t& number) {
    const auto highest = static_cast<std::uint32_t>(carried.highest);
    std::uint32_t next = 0;
    Result read = ReadCounter(settings, next);
    if (!read) {
        return read;
    }
    const std::uint32_t free = std::max(next, highest + 1);
    const bool taken = carried.number;
    const std::uint32_t after = taken ? free + 1 : free;
    if (after > kLargestNumber) {
        return AllNumbersUsed();
    }
    Result written =
        after == next ? Result::Success() : settings.WriteNumber(kNextAssetNumberValue, after);
    if (written && taken) {
        number = static_cast<std::int32_t>(free);
    }
    return written;
}

// The index's file for `tree` in `folder`: named by a hash of the tree's path, which the file
// holds too, so that two trees never share one.
fs::path IndexFile(const fs::path& folder, const fs::path& tree) {
    if (folder.empty()) {
        return {};
    }
    fs::path::string_type folded = tree.native();
    for (auto& unit : folded) {
        unit =
            unit >= 'A' && unit <= 'Z' ? static_cast<fs::path::value_type>(unit - 'A' + 'a') : unit;
    }
    const std::uint64_t hash = IndexChecksum(std::string_view(
        reinterpret_cast<const char*>(folded.data()), folded.size() * sizeof(folded[0])));
    char name[32];
    std::snprintf(name, sizeof name, "numbers-%016llx", static_cast<unsigned long long>(hash));
    return folder / name;
}

}  // namespace

Result TakeAssetNumber(SettingsStore& settings, std::int32_t& number) {
    return settings.Exclusively([&settings, &number]() {
        std::uint32_t next = 0;
        Result read = ReadCounter(settings, next);
        if (!read) {
            return read;
        }
        if (next == kLargestNumber) {
            return AllNumbersUsed();
        }
        Result written = settings.WriteNumber(kNextAssetNumberValue, next + 1);
        if (written) {
            number = static_cast<std::int32_t>(next);
        }
        return written;
    });
}

fs::path ContentTree(const fs::path& destination) {
    for (fs::path at = destination; at.has_relative_path(); at = at.parent_path()) {
        const fs::path parent = at.parent_path();
        if (at.has_filename() && SameEntryName(at.filename(), "Custom") &&
            SameEntryName(parent.filename(), "World")) {
            return at;
        }
        if (parent == at) {
            break;
        }
    }
    return destination;
}

std::set<std::int32_t> NumbersInUse(const fs::path& tree, std::int32_t creator) {
    NumberIndex index;
    Refresh(index, tree);
    return NumbersOf(index, creator);
}

TreeNumbers::TreeNumbers(SettingsStore& settings, fs::path tree)
    : settings_(settings),
      tree_(std::move(tree)),
      file_(IndexFile(settings_.StateFolder(), tree_)) {}

Result TreeNumbers::Settle(std::int32_t creator, std::int32_t& number) {
    const bool loaded = Load(index_);
    IndexChanges changes;
    cost_ = Refresh(index_, tree_, &changes);
    // Nothing looked at again: the stored index stands as it is. Else what was found is added
    // to it, unless it is to be stored whole.
    const bool whole = !loaded || changes.whole || additions_ + changes.count > kMostAdditions;
    const bool changed = whole || changes.count > 0;
    const Carried carried = CarriedNumbers(index_, creator, number);
    const bool past = !carried.any || carried.highest < number;
    if (past && !changed) {
        return Result::Success();  // the counter, past `number`, is past them all already
    }
    return settings_.Exclusively([&]() {
        Result settled = past ? Result::Success() : SettleCounter(settings_, carried, number);
        if (settled && changed &&
            (whole || file_.empty() || AppendToFile(file_, changes.additions))) {
            Save();
        }
        return settled;
    });
}

void TreeNumbers::Written(const fs::path& folder, std::size_t made, std::int32_t creator,
                          std::int32_t number) {
    const fs::path relative = folder.lexically_relative(tree_);
    std::vector<fs::path> way(relative.begin(), relative.end());
    way.erase(std::remove(way.begin(), way.end(), fs::path()), way.end());
    if (way.empty() || way.front() == "..") {
        return;
    }
    settings_.Exclusively([&]() {
        // Added to whatever index is stored, another write-out's since included: a record that
        // is out of date only makes its folders look changed.
        const std::string addition = RecordWritten(index_, tree_, way, made, creator, number);
        if (addition.empty() || file_.empty() || AppendToFile(file_, addition)) {
            Save();
        }
        return Result::Success();
    });
}

bool TreeNumbers::Load(NumberIndex& index) {
    std::string bytes;
    StoredAdditions additions;
    if (file_.empty() || ReadSmallFile(file_, kLargestIndex, bytes) ||
        !ParseIndex(bytes, index, &additions) || index.tree != tree_.native()) {
        index = NumberIndex{};
        return false;
    }
    // Past an addition that a kill cut short no other would be read: the index is stored
    // whole at once, what the lost ones told looked at again.
    additions_ = additions.cut ? kMostAdditions + 1 : additions.applied;
    return true;
}

void TreeNumbers::Save() {
    if (file_.empty()) {
        return;
    }
    std::error_code ignored;
    fs::create_directories(file_.parent_path(), ignored);
    fs::path temporary = file_;
    temporary += ".new";
    RemoveEntry(temporary);  // what a write-out killed before it could rename its own left
    const std::string bytes = FormatIndex(index_);
    if (WriteNewFile(temporary, bytes)) {
        return;
    }
    WriteStep("number index staged");
    if (MoveReplacing(temporary, file_)) {
        RemoveEntry(temporary);
    }
}

}  // namespace velcomp

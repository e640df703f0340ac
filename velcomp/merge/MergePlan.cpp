#include "velcomp/merge/MergePlan.h"

#include <algorithm>

#include "contract/PackageFiles.h"
#include "velcomp/MessageText.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

// A folder's entries in name order, so that every run plans the same moves.
Result SortedEntries(const fs::path& folder, std::vector<FolderEntry>& entries) {
    if (const std::error_code error = ListFolder(folder, entries)) {
        return PathFailure("Cannot read the folder", folder, error);
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return Result::Success();
}

// Adds everything below the staged folder `relative` as brought by move `carrier`.
Result AddBrought(const fs::path& staged, const fs::path& relative, int carrier, MergePlan& plan) {
    std::vector<FolderEntry> entries;
    Result listed = SortedEntries(staged / relative, entries);
    for (auto entry = entries.begin(); listed && entry != entries.end(); ++entry) {
        plan.moves.push_back(
            {relative / entry->name, entry->info.kind, entry->info.stamp, carrier});
        if (entry->info.kind == EntryKind::kFolder) {
            listed = AddBrought(staged, relative / entry->name, carrier, plan);
        }
    }
    return listed;
}

Result AddMove(const fs::path& staged, const fs::path& path, const EntryInfo& info,
               MergePlan& plan) {
    plan.moves.push_back({path, info.kind, info.stamp});
    if (info.kind != EntryKind::kFolder) {
        return Result::Success();
    }
    return AddBrought(staged, path, static_cast<int>(plan.moves.size() - 1), plan);
}

Result PlanFolder(const fs::path& staged, const fs::path& folder, const fs::path& relative,
                  MergePlan& plan) {
    std::vector<FolderEntry> entries;
    Result result = SortedEntries(staged / relative, entries);
    for (auto entry = entries.begin(); result && entry != entries.end(); ++entry) {
        const fs::path path = relative / entry->name;
        if (relative.empty() && entry->name == contract::kConfigFileName) {
            continue;  // moved last, once everything else is in place
        }
        EntryInfo present;
        if (const std::error_code error = Inspect(folder / path, present)) {
            return PathFailure("Cannot read", folder / path, error);
        }
        if (present.kind == EntryKind::kMissing) {
            result = AddMove(staged, path, entry->info, plan);
        } else if (entry->info.kind == EntryKind::kFolder && present.kind == EntryKind::kFolder) {
            result = PlanFolder(staged, folder, path, plan);
        } else if (entry->info.kind == EntryKind::kFile && present.kind == EntryKind::kFile) {
            plan.kept.push_back(path);  // the author's file of that name stays
        } else {
            return InTheWay("Cannot write", folder / path);
        }
    }
    return result;
}

Result NotInPlace(const fs::path& path) {
    return Result::Failure(QuotePath(path) +
                           " has gone or changed while the asset was written, so the asset was "
                           "not completed.");
}

}  // namespace

Result PlanMerge(const fs::path& staged, const fs::path& folder, MergePlan& plan) {
    plan = {};
    return PlanFolder(staged, folder, {}, plan);
}

Result CheckPlaced(const fs::path& folder, const MergePlan& plan) {
    for (const PlannedMove& move : plan.moves) {
        EntryInfo now;
        const bool read = !Inspect(folder / move.path, now);
        const bool there = move.kind == EntryKind::kFile
                               ? now.kind == EntryKind::kFile && now.stamp.size == move.stamp.size
                               : now.kind == move.kind;
        if (!read || !there) {
            return NotInPlace(folder / move.path);
        }
    }
    for (const fs::path& kept : plan.kept) {
        EntryInfo now;
        if (Inspect(folder / kept, now) || now.kind != EntryKind::kFile) {
            return NotInPlace(folder / kept);
        }
    }
    return Result::Success();
}

}  // namespace velcomp

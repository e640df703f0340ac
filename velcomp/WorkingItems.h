// The items that a write-out keeps beside an asset folder: a lock, which makes it the only
// write-out of that folder, and a staging folder. Each is known for the library's own only
// by what it holds, a mark with the library's identifier, never by its name: an item of the
// author's that has the name is left alone, and the next name is taken instead.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "velcomp/Result.h"
#include "velcomp/os/FileSystem.h"

namespace velcomp {

// The name of a working item of the asset folder `folder` in slot `slot`:
// "<name><suffix>" in slot 0, "<name>.<slot><suffix>" in the others.
std::filesystem::path WorkingItemPath(const std::filesystem::path& folder, int slot,
                                      const char* suffix);

// The file inside a staging folder that marks it as the library's.
inline constexpr char kStagingMarkFile[] = "mark";

// What the mark of a staging folder of `folder` holds, and whether `text` is that mark.
std::string StagingMark(const std::filesystem::path& folder);
bool IsStagingMark(std::string_view text, const std::filesystem::path& folder);

// The one write-out of an asset folder at a time, across processes. A lock that a killed
// write-out left is taken over, with the staging folder it was about to make.
class WriteClaim {
public:
    // Claims the write-out of `folder`, or says why it cannot: another write-out holds it,
    // or items of the author's have taken every name of the lock.
    static Result Take(const std::filesystem::path& folder, std::unique_ptr<WriteClaim>& claim);

    // Records, before it is made, the staging folder `root`, so that whoever takes over the
    // lock after a kill removes it while it is still empty and unmarked.
    Result NoteStaging(const std::filesystem::path& root);

private:
    explicit WriteClaim(std::unique_ptr<FileClaim> lock) : lock_(std::move(lock)) {}

    std::unique_ptr<FileClaim> lock_;
};

// The staging folders of `folder`: those that are the library's own (left by killed
// write-outs), the first free name, and the first name that an item of the author's took.
struct StagingPlaces {
    std::vector<std::filesystem::path> ours;
    std::filesystem::path free;
    std::filesystem::path taken;
};
Result FindStagingPlaces(const std::filesystem::path& folder, StagingPlaces& places);

// The message when every name of a working item is taken, the first by `taken`.
Result NamesTakenFailure(const std::filesystem::path& taken);

}  // namespace velcomp

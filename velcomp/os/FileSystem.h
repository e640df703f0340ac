// The few things that differ between Windows and the native build besides the settings.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace velcomp {

// 8-bit text as the platform spells paths: the ANSI code page widened on Windows, the
// bytes themselves natively.
std::filesystem::path::string_type NativeText(std::string_view text);

// A path from 8-bit text in which a backslash separates folders on every platform.
std::filesystem::path PathFromText(std::string_view text);

// The 8-bit text of a path, for messages; characters the code page lacks become '?'.
std::string TextFromPath(const std::filesystem::path& path);

// How many bytes the character at `at` of 8-bit text takes: in the ANSI code page on
// Windows (two for a lead byte of a double-byte code page), in UTF-8 natively; never past
// the text's end.
std::size_t CharacterSize(std::string_view text, std::size_t at);

// The same for UTF-8, which Windows can have as its ANSI code page too. A byte that starts
// no well-formed sequence counts alone.
inline std::size_t Utf8CharacterSize(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t size = lead >= 0xF0 && lead < 0xF8   ? 4
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xC0 && lead < 0xE0 ? 2
                                                           : 1;
    for (std::size_t i = 1; i < size; ++i) {
        if (at + i >= text.size() || (static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) {
            return 1;
        }
    }
    return size;
}

// The reason an operation failed, in the words of the system.
std::string DescribeError(const std::error_code& error);

// What stands at a path, looked at without following links.
enum class EntryKind { kMissing, kFile, kFolder, kLink, kOther };

// What tells one state of an entry from another: a file's size and last write, which a
// program can set back, the change time of the entry itself, which none can, and its file
// ID (inode), which tells it from another entry that has taken its name since.
struct FileStamp {
    std::uintmax_t size = 0;
    std::int64_t modified = 0;
    std::int64_t changed = 0;
    std::uint64_t id = 0;
    bool operator==(const FileStamp& other) const {
        return size == other.size && modified == other.modified && changed == other.changed &&
               id == other.id;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

struct EntryInfo {
    EntryKind kind = EntryKind::kMissing;
    FileStamp stamp;  // size and times of a file; the ID and change time of any entry
};

// Looks at one entry; a link, junction or other reparse point is kLink. A missing entry
// is not an error. Gives the kind and a file's size and last write; the ID and change
// time only where the system gives them with those (not on Windows).
std::error_code Inspect(const std::filesystem::path& path, EntryInfo& info);

// Looks at one entry as Inspect does, with its whole stamp, ID and change time included.
std::error_code Identify(const std::filesystem::path& path, EntryInfo& info);

// What a path leads to, links followed: kFolder, kFile, kOther or kMissing.
std::error_code InspectTarget(const std::filesystem::path& path, EntryKind& kind);

// One entry of a folder, as a listing finds it.
struct FolderEntry {
    std::filesystem::path name;
    EntryInfo info;
    std::int64_t written = 0;  // its last write, a folder's included
};

// The entries of a folder, each with what it is and its whole stamp, in one pass where the
// system allows.
std::error_code ListFolder(const std::filesystem::path& folder, std::vector<FolderEntry>& entries);

// The last write of the folder at `path`, which changes whenever an entry is added to it,
// removed from it or renamed in it; `kind` says what stands there (links followed).
std::error_code FolderWritten(const std::filesystem::path& path, EntryKind& kind,
                              std::int64_t& written);

// Sets the last write of the file or folder at `path`.
std::error_code SetWritten(const std::filesystem::path& path, std::int64_t written);

// Which folder a tree starts at, across renames and remounts: the volume and the file ID
// there; and whether that file system keeps a folder's last write as FolderWritten says
// (FAT and exFAT do not).
struct TreeOrigin {
    std::uint64_t volume = 0;
    std::uint64_t id = 0;
    bool keepsFolderTimes = true;
    bool operator==(const TreeOrigin& other) const {
        return volume == other.volume && id == other.id &&
               keepsFolderTimes == other.keepsFolderTimes;
    }
    bool operator!=(const TreeOrigin& other) const { return !(*this == other); }
};

// Looks at the folder a tree starts at for its volume and ID; kMissing in `kind` when there is
// none.
std::error_code LookAtTree(const std::filesystem::path& folder, EntryKind& kind,
                           TreeOrigin& origin);

// Whether the file system of `folder` keeps folder times, as TreeOrigin says.
bool KeepsFolderTimes(const std::filesystem::path& folder);

// The system's clock in the file system's unit of time, and that unit's count per second.
std::int64_t FileTimeNow();
extern const std::int64_t kFileTimePerSecond;

// The name under which the file system keeps an existing entry, which differs from the
// last part of `path` when that is another name for it (an 8.3 short name on Windows).
std::error_code StoredName(const std::filesystem::path& path, std::filesystem::path& name);

// Whether two names of one folder's entries name the same entry there.
bool SameEntryName(const std::filesystem::path& a, const std::filesystem::path& b);

// The outcome of copying one source file.
struct CopyResult {
    enum class Outcome { kCopied, kSourceChanged, kSourceFailed, kTargetFailed };
    Outcome outcome = Outcome::kCopied;
    std::error_code error;  // for the two failures
};

// Copies the file `from`, which must still be the file described by `expected`, to a new
// file `to`; never replaces anything at `to`. The copy is never read-only.
CopyResult CopyNewFile(const std::filesystem::path& from, const std::filesystem::path& to,
                       const FileStamp& expected);

// Makes one folder; errc::file_exists when anything stands at `path`.
std::error_code MakeFolder(const std::filesystem::path& path);

// Writes `bytes` to a new file, which appears whole or not at all, even when the process
// dies; fails when anything is at `path` already.
std::error_code WriteNewFile(const std::filesystem::path& path, std::string_view bytes);

// Adds `bytes` at the end of an existing file.
std::error_code AppendToFile(const std::filesystem::path& path, std::string_view bytes);

// Reads a whole file of at most `limit` bytes.
std::error_code ReadSmallFile(const std::filesystem::path& path, std::uintmax_t limit,
                              std::string& bytes);

// Renames a file or folder in one step, failing (and changing nothing) when anything
// stands at `to`.
std::error_code MoveWithoutReplacing(const std::filesystem::path& from,
                                     const std::filesystem::path& to);

// Renames a file in one step, replacing any file at `to`.
std::error_code MoveReplacing(const std::filesystem::path& from, const std::filesystem::path& to);

// Whether an error says that something already stands at the target.
bool IsExistsError(const std::error_code& error);

// Hides one of the library's working items from the author's file explorer.
void HideEntry(const std::filesystem::path& path);

// Makes an entry removable (clears read-only) and removes it; a folder must be empty.
std::error_code RemoveEntry(const std::filesystem::path& path);

// Removes a folder that nothing is in. Its removal fails, as it should, once anyone (the
// author, another write-out) has put something in it, and the folder then stays.
inline void RemoveIfEmpty(const std::filesystem::path& folder) {
    RemoveEntry(folder);
}

// An exclusive claim on a lock file, across processes, released when destroyed and by the
// system when the process dies. A release removes the file, unless LeaveInPlace came first;
// a process that dies leaves it, for the next claimant to find.
class FileClaim {
public:
    virtual ~FileClaim() = default;
    // Adds a line to the file, for whoever finds it after this process has died.
    virtual std::error_code Append(std::string_view text) = 0;
    // The file is not ours after all: the release leaves it as it is.
    virtual void LeaveInPlace() = 0;
};

enum class TakeOutcome {
    kTaken,     // a plain file that no one held; it is ours to hold now
    kGone,      // nothing stands there (any more)
    kBusy,      // another claimant holds the file
    kNotAFile,  // a folder, a link, or anything else that cannot be a lock of ours
};

// Takes the file at `path` without waiting, when it is a plain file that no one holds, and
// reads what it holds (its first 4 KiB) into `content`.
std::error_code TakeFile(const std::filesystem::path& path, std::unique_ptr<FileClaim>& claim,
                         TakeOutcome& outcome, std::string& content);

}  // namespace velcomp

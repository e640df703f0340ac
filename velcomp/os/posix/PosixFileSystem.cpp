#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <time.h>

#include <algorithm>

#include "velcomp/os/FileSystem.h"
#include "velcomp/os/posix/Descriptor.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

using posix::LastError;

std::int64_t Nanoseconds(const struct timespec& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

EntryInfo InfoOf(const struct stat& status) {
    EntryInfo info;
    info.stamp.changed = Nanoseconds(status.st_ctim);
    info.stamp.id = static_cast<std::uint64_t>(status.st_ino);
    if (S_ISREG(status.st_mode)) {
        info.kind = EntryKind::kFile;
        info.stamp.size = static_cast<std::uintmax_t>(status.st_size);
        info.stamp.modified = Nanoseconds(status.st_mtim);
    } else if (S_ISDIR(status.st_mode)) {
        info.kind = EntryKind::kFolder;
    } else if (S_ISLNK(status.st_mode)) {
        info.kind = EntryKind::kLink;
    } else {
        info.kind = EntryKind::kOther;
    }
    return info;
}

// File systems that leave a folder's last write alone when its entries change.
constexpr long kFatMagic = 0x4d44;
constexpr long kExfatMagic = 0x2011BAB0;

}  // namespace

const std::int64_t kFileTimePerSecond = 1000000000;

std::size_t CharacterSize(std::string_view text, std::size_t at) {
    return Utf8CharacterSize(text, at);
}

fs::path::string_type NativeText(std::string_view text) {
    return std::string(text);
}

fs::path PathFromText(std::string_view text) {
    std::string generic(text);
    std::replace(generic.begin(), generic.end(), '\\', '/');
    return generic;
}

std::string TextFromPath(const fs::path& path) {
    return path.native();
}

std::string DescribeError(const std::error_code& error) {
    return error.message();
}

std::error_code Inspect(const fs::path& path, EntryInfo& info) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        info = {};
        return errno == ENOENT ? std::error_code() : LastError();
    }
    info = InfoOf(status);
    return {};
}

std::error_code Identify(const fs::path& path, EntryInfo& info) {
    return Inspect(path, info);  // lstat gives the whole stamp at once
}

std::error_code InspectTarget(const fs::path& path, EntryKind& kind) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        kind = EntryKind::kMissing;
        return errno == ENOENT ? std::error_code() : LastError();
    }
    kind = InfoOf(status).kind;
    return {};
}

std::error_code ListFolder(const fs::path& folder, std::vector<FolderEntry>& entries) {
    DIR* const listing = ::opendir(folder.c_str());
    if (listing == nullptr) {
        return LastError();
    }
    std::error_code error;
    errno = 0;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") {
            continue;
        }
        FolderEntry found{name, {}};
        struct stat status {};
        if (::lstat((folder / name).c_str(), &status) == 0) {
            found.info = InfoOf(status);
            found.written = Nanoseconds(status.st_mtim);
        } else if (errno != ENOENT) {  // one gone since the folder was read stays kMissing
            error = LastError();
            break;
        }
        entries.push_back(std::move(found));
        errno = 0;
    }
    if (!error && errno != 0) {
        error = LastError();
    }
    ::closedir(listing);
    return error;
}

std::error_code FolderWritten(const fs::path& path, EntryKind& kind, std::int64_t& written) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        kind = EntryKind::kMissing;
        return errno == ENOENT || errno == ENOTDIR ? std::error_code() : LastError();
    }
    kind = InfoOf(status).kind;
    written = Nanoseconds(status.st_mtim);
    return {};
}

std::error_code SetWritten(const fs::path& path, std::int64_t written) {
    const struct timespec times[2] = {
        {0, UTIME_OMIT},
        {static_cast<time_t>(written / 1000000000), static_cast<long>(written % 1000000000)}};
    return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0 ? std::error_code() : LastError();
}

std::error_code LookAtTree(const fs::path& folder, EntryKind& kind, TreeOrigin& origin) {
    struct stat status {};
    if (::stat(folder.c_str(), &status) != 0) {
        kind = EntryKind::kMissing;
        return errno == ENOENT || errno == ENOTDIR ? std::error_code() : LastError();
    }
    kind = InfoOf(status).kind;
    origin.volume = static_cast<std::uint64_t>(status.st_dev);
    origin.id = static_cast<std::uint64_t>(status.st_ino);
    return {};
}

bool KeepsFolderTimes(const fs::path& folder) {
    struct statfs system {};
    return ::statfs(folder.c_str(), &system) == 0 && system.f_type != kFatMagic &&
           system.f_type != kExfatMagic;
}

std::int64_t FileTimeNow() {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return Nanoseconds(now);
}

std::error_code StoredName(const fs::path& path, fs::path& name) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        return LastError();
    }
    name = path.filename();  // names are stored exactly as given
    return {};
}

bool SameEntryName(const fs::path& a, const fs::path& b) {
    return a == b;
}

std::error_code MakeFolder(const fs::path& path) {
    return ::mkdir(path.c_str(), 0777) == 0 ? std::error_code() : LastError();
}

std::error_code MoveWithoutReplacing(const fs::path& from, const fs::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return {};
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return LastError();
    }
    // A file system without the no-replace rename: a hard link is made only where no
    // entry exists, so it cannot replace one either (files only).
    if (::link(from.c_str(), to.c_str()) != 0) {
        return LastError();
    }
    ::unlink(from.c_str());
    return {};
}

std::error_code MoveReplacing(const fs::path& from, const fs::path& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? std::error_code() : LastError();
}

bool IsExistsError(const std::error_code& error) {
    return error == std::errc::file_exists || error == std::errc::directory_not_empty;
}

void HideEntry(const fs::path&) {}

std::error_code RemoveEntry(const fs::path& path) {
    if (::remove(path.c_str()) != 0 && errno != ENOENT) {
        return LastError();
    }
    return {};
}

}  // namespace velcomp

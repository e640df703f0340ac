#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "velcomp/platform/FileSystem.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

std::error_code LastError() {
    return std::error_code(errno, std::generic_category());
}

std::int64_t ModifiedNanoseconds(const struct stat& status) {
    return static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
}

FileStamp StampOf(const struct stat& status) {
    return {static_cast<std::uintmax_t>(status.st_size), ModifiedNanoseconds(status)};
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now, reporting a failure that a full disk can leave until this moment.
    std::error_code Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? std::error_code() : LastError();
    }

private:
    int fd_;
};

std::error_code WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return {};
}

// The kernel's copy does not say which side failed; these errors are the target's.
bool IsTargetError(int error) {
    return error == ENOSPC || error == EDQUOT || error == EFBIG || error == EROFS ||
           error == EPERM || error == EACCES;
}

// Copies `size` bytes by the kernel, or by a buffer where the kernel cannot.
bool CopyBytes(int from, int to, std::uintmax_t size, CopyResult& result) {
    std::uintmax_t left = size;
    while (left > 0) {
        const ssize_t copied =
            ::copy_file_range(from, nullptr, to, nullptr, static_cast<std::size_t>(left), 0);
        if (copied > 0) {
            left -= static_cast<std::uintmax_t>(copied);
            continue;
        }
        if (copied == 0) {
            result = {CopyResult::Outcome::kSourceChanged, {}};  // shorter than it was
            return false;
        }
        if (errno == EINTR) {
            continue;
        }
        if (errno != EXDEV && errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) {
            result = {IsTargetError(errno) ? CopyResult::Outcome::kTargetFailed
                                           : CopyResult::Outcome::kSourceFailed,
                      LastError()};
            return false;
        }
        char buffer[1 << 16];
        const ssize_t read = ::read(from, buffer, sizeof buffer);
        if (read <= 0) {
            result = read == 0 ? CopyResult{CopyResult::Outcome::kSourceChanged, {}}
                               : CopyResult{CopyResult::Outcome::kSourceFailed, LastError()};
            return false;
        }
        if (const std::error_code error = WriteAll(to, buffer, static_cast<std::size_t>(read))) {
            result = {CopyResult::Outcome::kTargetFailed, error};
            return false;
        }
        left -= static_cast<std::uintmax_t>(read);
    }
    return true;
}

class FlockClaim : public FileClaim {
public:
    FlockClaim(fs::path path, int fd) : path_(std::move(path)), fd_(fd) {}
    // Removed while still locked, so that no one else can lock this file and think it
    // the current one (a claimant checks that the file it locked is still at the path).
    ~FlockClaim() override {
        ::unlink(path_.c_str());
        ::close(fd_);
    }

private:
    fs::path path_;
    int fd_;
};

}  // namespace

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
    if (S_ISREG(status.st_mode)) {
        info = {EntryKind::kFile, StampOf(status)};
    } else if (S_ISDIR(status.st_mode)) {
        info = {EntryKind::kFolder, {}};
    } else if (S_ISLNK(status.st_mode)) {
        info = {EntryKind::kLink, {}};
    } else {
        info = {EntryKind::kOther, {}};
    }
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
        if ((error = Inspect(folder / name, found.info))) {
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

CopyResult CopyNewFile(const fs::path& from, const fs::path& to, const FileStamp& expected) {
    // Never blocks on a pipe put in a file's place, and never follows a link.
    Descriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (source.get() < 0) {
        const bool changed = errno == ENOENT || errno == ELOOP || errno == ENOTDIR;
        return {changed ? CopyResult::Outcome::kSourceChanged : CopyResult::Outcome::kSourceFailed,
                LastError()};
    }
    struct stat before {};
    if (::fstat(source.get(), &before) != 0) {
        return {CopyResult::Outcome::kSourceFailed, LastError()};
    }
    if (!S_ISREG(before.st_mode) || StampOf(before) != expected) {
        return {CopyResult::Outcome::kSourceChanged, {}};
    }
    Descriptor target(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                             (before.st_mode & 0777) | S_IRUSR | S_IWUSR));
    if (target.get() < 0) {
        return {CopyResult::Outcome::kTargetFailed, LastError()};
    }
    CopyResult result;
    if (!CopyBytes(source.get(), target.get(), expected.size, result)) {
        return result;
    }
    struct stat after {};
    if (::fstat(source.get(), &after) != 0 || StampOf(after) != expected) {
        return {CopyResult::Outcome::kSourceChanged, {}};
    }
    if (const std::error_code error = target.Close()) {
        return {CopyResult::Outcome::kTargetFailed, error};
    }
    return result;
}

std::error_code WriteNewFile(const fs::path& path, std::string_view bytes) {
    Descriptor file(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
    if (file.get() < 0) {
        return LastError();
    }
    if (const std::error_code error = WriteAll(file.get(), bytes.data(), bytes.size())) {
        return error;
    }
    return file.Close();
}

std::error_code ReadSmallFile(const fs::path& path, std::uintmax_t limit, std::string& bytes) {
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        return LastError();
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        return LastError();
    }
    if (!S_ISREG(status.st_mode)) {
        return std::make_error_code(std::errc::invalid_argument);
    }
    if (static_cast<std::uintmax_t>(status.st_size) > limit) {
        return std::make_error_code(std::errc::file_too_large);
    }
    bytes.assign(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t read = ::read(file.get(), bytes.data() + done, bytes.size() - done);
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read <= 0) {
            return read == 0 ? std::make_error_code(std::errc::io_error) : LastError();
        }
        done += static_cast<std::size_t>(read);
    }
    return {};
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

std::error_code ClaimFile(const fs::path& path, std::unique_ptr<FileClaim>& claim) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            return LastError();
        }
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const std::error_code error =
                errno == EWOULDBLOCK ? std::make_error_code(std::errc::device_or_resource_busy)
                                     : LastError();
            ::close(fd);
            return error;
        }
        // The holder before us may have removed the file between our open and our lock.
        struct stat held {};
        struct stat named {};
        if (::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
            claim = std::make_unique<FlockClaim>(path, fd);
            return {};
        }
        ::close(fd);
    }
    return std::make_error_code(std::errc::device_or_resource_busy);
}

}  // namespace velcomp

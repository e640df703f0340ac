#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "velcomp/os/FileSystem.h"
#include "velcomp/os/posix/Descriptor.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

using posix::Descriptor;
using posix::LastError;

// Whatever a claimant reads of a file it finds: more than any lock of ours holds.
constexpr std::size_t kMostRead = 4096;

fs::path FolderOf(const fs::path& path) {
    return path.has_parent_path() ? path.parent_path() : fs::path(".");
}

// Whether an unnamed file failed only because the file system or the kernel has none.
bool NoUnnamedFiles(int error) {
    return error == EOPNOTSUPP || error == EISDIR || error == EINVAL;
}

std::error_code WriteNamedFile(const fs::path& path, std::string_view bytes) {
    Descriptor file(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
    if (file.get() < 0) {
        return LastError();
    }
    if (const std::error_code error = posix::WriteAll(file.get(), bytes.data(), bytes.size())) {
        return error;
    }
    return file.Close();
}

class FlockClaim : public FileClaim {
public:
    FlockClaim(fs::path path, int fd) : path_(std::move(path)), fd_(fd) {}
    // Removed while still locked, so that no one else can lock this file and think it
    // the current one (a claimant checks that the file it locked is still at the path).
    ~FlockClaim() override {
        if (!leave_) {
            ::unlink(path_.c_str());
        }
        ::close(fd_);
    }
    std::error_code Append(std::string_view text) override {
        if (::lseek(fd_, 0, SEEK_END) < 0) {
            return LastError();
        }
        return posix::WriteAll(fd_, text.data(), text.size());
    }
    void LeaveInPlace() override { leave_ = true; }

private:
    fs::path path_;
    int fd_;
    bool leave_ = false;
};

// What an open file that we hold holds, up to kMostRead bytes.
std::error_code ReadHeld(int fd, std::string& content) {
    content.assign(kMostRead, '\0');
    const ssize_t read = ::pread(fd, content.data(), content.size(), 0);
    if (read < 0) {
        return LastError();
    }
    content.resize(static_cast<std::size_t>(read));
    return {};
}

// Whether `fd` is still the file at `path`: its holder may have removed it just before.
bool StillNamed(int fd, const fs::path& path) {
    struct stat held {};
    struct stat named {};
    return ::fstat(fd, &held) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           held.st_dev == named.st_dev && held.st_ino == named.st_ino;
}

// What a failure to open a file to take says of it: nothing stands there, or nothing that
// can be a lock of ours. Any other failure is an error.
std::error_code OpenFailure(int error, TakeOutcome& outcome) {
    outcome = error == ENOENT ? TakeOutcome::kGone : TakeOutcome::kNotAFile;
    const bool known = error == ENOENT || error == ELOOP || error == EISDIR || error == EACCES ||
                       error == EPERM || error == ENXIO;
    return known ? std::error_code() : std::error_code(error, std::generic_category());
}

// Locks an open file when it is a plain file that no one holds, still the one at `path`;
// `outcome` is kTaken then, or says why not.
std::error_code LockIfPlain(int fd, const fs::path& path, TakeOutcome& outcome) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        return LastError();
    }
    if (!S_ISREG(status.st_mode)) {
        outcome = TakeOutcome::kNotAFile;
    } else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        outcome = errno == EWOULDBLOCK ? TakeOutcome::kBusy : TakeOutcome::kNotAFile;
    } else {
        outcome = StillNamed(fd, path) ? TakeOutcome::kTaken : TakeOutcome::kGone;
    }
    return {};
}

}  // namespace

std::error_code WriteNewFile(const fs::path& path, std::string_view bytes) {
    // Written unnamed, then named by a link that fails when anything has that name.
    Descriptor file(::open(FolderOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (file.get() < 0) {
        return NoUnnamedFiles(errno) ? WriteNamedFile(path, bytes) : LastError();
    }
    if (const std::error_code error = posix::WriteAll(file.get(), bytes.data(), bytes.size())) {
        return error;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(file.get());
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) != 0) {
        return LastError();
    }
    return file.Close();
}

std::error_code AppendToFile(const fs::path& path, std::string_view bytes) {
    Descriptor file(::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW));
    if (file.get() < 0) {
        return LastError();
    }
    if (const std::error_code error = posix::WriteAll(file.get(), bytes.data(), bytes.size())) {
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

std::error_code TakeFile(const fs::path& path, std::unique_ptr<FileClaim>& claim,
                         TakeOutcome& outcome, std::string& content) {
    // Never blocks on a pipe, and never follows a link.
    Descriptor file(::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (file.get() < 0) {
        return OpenFailure(errno, outcome);
    }
    TakeOutcome locked = TakeOutcome::kTaken;
    if (const std::error_code error = LockIfPlain(file.get(), path, locked)) {
        return error;
    }
    if (locked != TakeOutcome::kTaken) {
        outcome = locked;  // kTaken is said only with the claim made, below
        return {};
    }
    if (const std::error_code error = ReadHeld(file.get(), content)) {
        return error;
    }
    claim = std::make_unique<FlockClaim>(path, file.release());
    outcome = TakeOutcome::kTaken;
    return {};
}

}  // namespace velcomp

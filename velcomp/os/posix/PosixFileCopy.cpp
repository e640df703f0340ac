#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "velcomp/os/FileSystem.h"
#include "velcomp/os/posix/Descriptor.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

using posix::Descriptor;
using posix::LastError;

// The kernel's copy does not say which side failed; these errors are the target's.
bool IsTargetError(int error) {
    return error == ENOSPC || error == EDQUOT || error == EFBIG || error == EROFS ||
           error == EPERM || error == EACCES;
}

// Whether the kernel's copy failed only because it cannot copy between these two files.
bool KernelCannotCopy(int error) {
    return error == EXDEV || error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// Copies the next bytes, up to 64 KiB, by reading and writing them; takes them off `left`.
bool CopyThroughBuffer(int from, int to, std::uintmax_t& left, CopyResult& result) {
    char buffer[1 << 16];
    const ssize_t read = ::read(from, buffer, sizeof buffer);
    if (read <= 0) {
        result = read == 0 ? CopyResult{CopyResult::Outcome::kSourceChanged, {}}
                           : CopyResult{CopyResult::Outcome::kSourceFailed, LastError()};
        return false;
    }
    if (const std::error_code error = posix::WriteAll(to, buffer, static_cast<std::size_t>(read))) {
        result = {CopyResult::Outcome::kTargetFailed, error};
        return false;
    }
    left -= static_cast<std::uintmax_t>(read);
    return true;
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
        if (!KernelCannotCopy(errno)) {
            result = {IsTargetError(errno) ? CopyResult::Outcome::kTargetFailed
                                           : CopyResult::Outcome::kSourceFailed,
                      LastError()};
            return false;
        }
        if (!CopyThroughBuffer(from, to, left, result)) {
            return false;
        }
    }
    return true;
}

// The stamp of an open file, as Inspect gives it for its path.
FileStamp StampOf(int fd, mode_t& mode) {
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        return {};
    }
    mode = status.st_mode;
    return {static_cast<std::uintmax_t>(status.st_size),
            static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec,
            static_cast<std::int64_t>(status.st_ctim.tv_sec) * 1000000000 + status.st_ctim.tv_nsec,
            static_cast<std::uint64_t>(status.st_ino)};
}

}  // namespace

CopyResult CopyNewFile(const fs::path& from, const fs::path& to, const FileStamp& expected) {
    // Never blocks on a pipe put in a file's place, and never follows a link.
    Descriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (source.get() < 0) {
        const bool changed = errno == ENOENT || errno == ELOOP || errno == ENOTDIR;
        return {changed ? CopyResult::Outcome::kSourceChanged : CopyResult::Outcome::kSourceFailed,
                LastError()};
    }
    mode_t mode = 0;
    if (StampOf(source.get(), mode) != expected) {
        return {CopyResult::Outcome::kSourceChanged, {}};
    }
    Descriptor target(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                             (mode & 0777) | S_IRUSR | S_IWUSR));
    if (target.get() < 0) {
        return {CopyResult::Outcome::kTargetFailed, LastError()};
    }
    CopyResult result;
    if (!CopyBytes(source.get(), target.get(), expected.size, result)) {
        return result;
    }
    // The same stamp afterwards: nothing wrote to the file, nor set its times back, meanwhile.
    if (StampOf(source.get(), mode) != expected) {
        return {CopyResult::Outcome::kSourceChanged, {}};
    }
    if (const std::error_code error = target.Close()) {
        return {CopyResult::Outcome::kTargetFailed, error};
    }
    return result;
}

}  // namespace velcomp

// A file descriptor that closes itself, and the small helpers that the native file calls
// share.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <system_error>

namespace velcomp::posix {

inline std::error_code LastError() {
    return std::error_code(errno, std::generic_category());
}

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
    // Hands the descriptor over; this object no longer closes it.
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closes now, reporting a failure that a full disk can leave until this moment.
    std::error_code Close() {
        const int fd = release();
        return ::close(fd) == 0 ? std::error_code() : LastError();
    }

private:
    int fd_;
};

inline std::error_code WriteAll(int fd, const char* data, std::size_t size) {
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

}  // namespace velcomp::posix

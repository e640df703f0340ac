#include "velcomp/platform/posix/FolderSettingsStore.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <fstream>

namespace velcomp {
namespace {

// Each file holds a one-byte kind, 'N' for a number or 'O' for other data, then the data.
constexpr char kNumberTag = 'N';
constexpr char kOtherTag = 'O';

Result Failed(const std::string& what, const std::filesystem::path& path, std::error_code error) {
    return Result::Failure("The setting " + what + " could not be saved in " + path.string() +
                           " (" + error.message() + ").");
}

// Holds an exclusive lock on a file for as long as it lives.
class FileLock {
public:
    explicit FileLock(const std::filesystem::path& file)
        : fd_(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~FileLock() {
        if (fd_ >= 0) {
            ::close(fd_);  // closing the descriptor releases the lock
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool held() const { return fd_ >= 0; }

private:
    int fd_;
};

}  // namespace

FolderSettingsStore::FolderSettingsStore(std::filesystem::path folder)
    : folder_(std::move(folder)) {}

StoredValue FolderSettingsStore::Read(const std::string& name) {
    const int fd = ::open((folder_ / name).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return {errno == ENOENT ? StoredValue::Kind::kAbsent : StoredValue::Kind::kUnreadable, {}};
    }
    std::string data;
    char buffer[256];
    ssize_t count = 0;
    while ((count = ::read(fd, buffer, sizeof buffer)) > 0 && data.size() < 4096) {
        data.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(fd);
    if (count < 0) {
        return {StoredValue::Kind::kUnreadable, {}};
    }
    if (data.empty()) {
        return {StoredValue::Kind::kOther, {}};
    }
    const auto kind =
        data[0] == kNumberTag ? StoredValue::Kind::kNumber : StoredValue::Kind::kOther;
    return {kind, data.substr(1)};
}

Result FolderSettingsStore::WriteNumber(const std::string& name, std::uint32_t value) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) {
        bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    }
    return WriteRaw(name, true, bytes);
}

Result FolderSettingsStore::WriteRaw(const std::string& name, bool isNumber,
                                     const std::string& bytes) {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    static std::atomic<unsigned> writes{0};
    const std::filesystem::path temporary =
        folder_ / (name + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(writes++));
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << (isNumber ? kNumberTag : kOtherTag) << bytes;
        if (!out.flush()) {
            return Failed(name, temporary, std::make_error_code(std::errc::io_error));
        }
    }
    // A rename replaces the old value in one step, so a reader never sees half of it.
    std::filesystem::rename(temporary, folder_ / name, error);
    return error ? Failed(name, folder_ / name, error) : Result::Success();
}

Result FolderSettingsStore::Exclusively(const std::function<Result()>& action) {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    const FileLock lock(folder_ / "lock");
    if (!lock.held()) {
        return Result::Failure("The settings in " + folder_.string() + " cannot be locked (" +
                               std::generic_category().message(errno) + ").");
    }
    return action();
}

std::unique_ptr<SettingsStore> OpenUserSettings() {
    const char* folder = std::getenv("VELCOMP_SETTINGS_DIR");
    if (folder != nullptr && *folder != '\0') {
        return std::make_unique<FolderSettingsStore>(folder);
    }
    std::error_code error;
    return std::make_unique<FolderSettingsStore>(std::filesystem::temp_directory_path(error) /
                                                 "railvane-content");
}

}  // namespace velcomp

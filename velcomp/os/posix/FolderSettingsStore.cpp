#include "velcomp/os/posix/FolderSettingsStore.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "velcomp/os/posix/Descriptor.h"

namespace velcomp {
namespace {

// Each file holds a one-byte kind, 'N' for a number or 'O' for other data, then the data.
constexpr char kNumberTag = 'N';
constexpr char kOtherTag = 'O';

Result Failed(const std::string& what, const std::filesystem::path& path, std::error_code error) {
    return Result::Failure("The setting " + what + " could not be saved in " + path.string() +
                           " (" + error.message() + ").");
}

// Holds an exclusive lock on a file for as long as it lives. A holder that is stopped or
// hangs must not hang us too, so the lock is tried again and again up to a deadline.
class FileLock {
public:
    enum class State { kHeld, kBusy, kFailed };

    FileLock(const std::filesystem::path& file, std::chrono::milliseconds wait)
        : fd_(::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_ < 0) {
            error_ = errno;
            return;
        }
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            if (error == EINTR) {
                continue;
            }
            const bool busy = error == EWOULDBLOCK;
            if (!busy || std::chrono::steady_clock::now() >= deadline) {
                error_ = error;
                state_ = busy ? State::kBusy : State::kFailed;
                ::close(fd_);
                fd_ = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        state_ = State::kHeld;
    }
    ~FileLock() {
        if (fd_ >= 0) {
            ::close(fd_);  // closing the descriptor releases the lock
        }
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    State state() const { return state_; }
    int error() const { return error_; }

private:
    int fd_;
    State state_ = State::kFailed;
    int error_ = 0;
};

// The process id in a temporary file name `<name>.new-<pid>-<count>`, or 0 for any other name.
pid_t WriterOf(const std::string& file, const std::string& name) {
    const std::string prefix = name + ".new-";
    if (file.compare(0, prefix.size(), prefix) != 0) {
        return 0;
    }
    const std::size_t dash = file.find('-', prefix.size());
    const std::string pid = file.substr(prefix.size(), dash - prefix.size());
    const std::string count = dash == std::string::npos ? "" : file.substr(dash + 1);
    const auto digits = [](const std::string& text) {
        return !text.empty() && text.size() <= 9 &&
               text.find_first_not_of("0123456789") == std::string::npos;
    };
    if (!digits(pid) || !digits(count)) {
        return 0;
    }
    return static_cast<pid_t>(std::stol(pid));
}

// A writer killed between writing its temporary file and renaming it leaves the file for
// ever; only the files of processes that are gone are removed, never a live writer's.
void RemoveLeftovers(const std::filesystem::path& folder, const std::string& name) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const pid_t writer = WriterOf(it->path().filename().string(), name);
        if (writer > 0 && ::kill(writer, 0) != 0 && errno == ESRCH) {
            std::error_code ignored;
            std::filesystem::remove(it->path(), ignored);
        }
    }
}

// Where one write of `name` puts its temporary file: no other write, in any process, uses
// the same name, and WriterOf reads its writer back from it.
std::filesystem::path TemporaryPath(const std::filesystem::path& folder, const std::string& name) {
    static std::atomic<unsigned> writes{0};
    return folder / (name + ".new-" + std::to_string(::getpid()) + "-" + std::to_string(writes++));
}

// Writes `data` to the temporary file just made and renames it to `target`, or removes it on
// failure. A rename replaces the old value in one step, so a reader never sees half of it.
std::error_code WriteAndReplace(posix::Descriptor& file, const std::string& data,
                                const std::filesystem::path& temporary,
                                const std::filesystem::path& target) {
    std::error_code error = posix::WriteAll(file.get(), data.data(), data.size());
    if (!error) {
        error = file.Close();
    }
    if (!error) {
        std::filesystem::rename(temporary, target, error);
    }
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    }
    return error;
}

}  // namespace

FolderSettingsStore::FolderSettingsStore(std::filesystem::path folder,
                                         std::chrono::milliseconds lockWait)
    : folder_(std::move(folder)), lockWait_(lockWait) {}

StoredValue FolderSettingsStore::Read(const std::string& name) {
    // Never blocks on a pipe or a device put in a value's place.
    posix::Descriptor file(::open((folder_ / name).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        return errno == ENOENT
                   ? StoredValue{}
                   : StoredValue{StoredValue::Kind::kUnreadable, {}, std::strerror(errno)};
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return {StoredValue::Kind::kUnreadable, {}, "it is not a plain file"};
    }
    std::string data;
    char buffer[256];
    ssize_t count = 0;
    while ((count = ::read(file.get(), buffer, sizeof buffer)) > 0 && data.size() < 4096) {
        data.append(buffer, static_cast<std::size_t>(count));
    }
    if (count < 0) {
        return {StoredValue::Kind::kUnreadable, {}, std::strerror(errno)};
    }
    if (data.empty()) {
        return {StoredValue::Kind::kOther, {}, {}};
    }
    const auto kind =
        data[0] == kNumberTag ? StoredValue::Kind::kNumber : StoredValue::Kind::kOther;
    return {kind, data.substr(1), {}};
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
    if (error) {
        return Failed(name, folder_, error);
    }
    RemoveLeftovers(folder_, name);
    const std::filesystem::path temporary = TemporaryPath(folder_, name);
    posix::Descriptor file(
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (file.get() < 0) {
        return Failed(name, folder_, posix::LastError());
    }
    const std::string data = (isNumber ? kNumberTag : kOtherTag) + bytes;
    error = WriteAndReplace(file, data, temporary, folder_ / name);
    return error ? Failed(name, folder_ / name, error) : Result::Success();
}

Result FolderSettingsStore::Exclusively(const std::function<Result()>& action) {
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    const FileLock lock(folder_ / "lock", lockWait_);
    if (lock.state() == FileLock::State::kBusy) {
        // The same words as the Windows store, whose lock is a mutex with a timeout.
        return Result::Failure("Another program keeps the settings in " + folder_.string() +
                               " busy; please try again.");
    }
    if (lock.state() != FileLock::State::kHeld) {
        return Result::Failure("The settings in " + folder_.string() + " cannot be locked (" +
                               std::generic_category().message(lock.error()) + ").");
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

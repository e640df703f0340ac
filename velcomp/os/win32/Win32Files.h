// What the library's Windows file calls share: the long form of every path, the last
// error, and handles that close themselves. (The calls that give file IDs and change times
// came with Windows Vista; the build names Windows 7.)
#pragma once

#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

namespace velcomp::win32 {

inline std::error_code LastError() {
    return std::error_code(static_cast<int>(GetLastError()), std::system_category());
}

inline bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// The path as every wide call takes it at any length (\\?\C:\... or \\?\UNC\server\...),
// made whole first where it is relative or holds parts that the system would drop.
std::wstring LongPath(const std::filesystem::path& path);

// A file handle that closes itself.
class Handle {
public:
    explicit Handle(HANDLE handle) : handle_(handle) {}
    ~Handle() {
        if (valid()) {
            CloseHandle(handle_);
        }
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }
    HANDLE release() {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }

private:
    HANDLE handle_;
};

// Opens an entry for looking at it, whatever it is, without following a link.
inline HANDLE OpenForLooking(const std::filesystem::path& path) {
    return CreateFileW(LongPath(path).c_str(), FILE_READ_ATTRIBUTES,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                       nullptr);
}

// What the system keeps of an open entry: its attributes, times, size and file ID. Read
// by the handle's own information classes, as GetFileInformationByHandle costs Wine a
// look at the whole volume every time.
struct HandleFacts {
    DWORD attributes = 0;
    std::int64_t modified = 0;
    std::int64_t changed = 0;
    std::uint64_t size = 0;
    std::uint64_t id = 0;
};
bool ReadFacts(HANDLE entry, HandleFacts& facts);

// The size, last write and change time of a file by its path, links followed, in one call
// of the system's (the one that GetFileAttributesEx makes, which drops the change time);
// no file ID. False, with the system's error, when it cannot be looked at.
bool QuickLook(const std::filesystem::path& path, HandleFacts& facts);

inline std::int64_t Combine(DWORD high, DWORD low) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}

}  // namespace velcomp::win32

#include <windows.h>

#include <string>

#include "velcomp/platform/FileSystem.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

std::error_code LastError() {
    return std::error_code(static_cast<int>(GetLastError()), std::system_category());
}

std::int64_t Combine(DWORD high, DWORD low) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}

bool IsLink(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Looks at a file without opening it; the error of a missing one is kept.
std::error_code Attributes(const fs::path& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
    return GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ? std::error_code()
                                                                            : LastError();
}

FileStamp StampOf(const WIN32_FILE_ATTRIBUTE_DATA& data) {
    return {static_cast<std::uintmax_t>(Combine(data.nFileSizeHigh, data.nFileSizeLow)),
            Combine(data.ftLastWriteTime.dwHighDateTime, data.ftLastWriteTime.dwLowDateTime)};
}

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Whether the source can still be opened for reading; its error when it cannot.
std::error_code ProbeSource(const fs::path& from) {
    const HANDLE file = CreateFileW(from.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    CloseHandle(file);
    return {};
}

class HandleClaim : public FileClaim {
public:
    explicit HandleClaim(HANDLE file) : file_(file) {}
    ~HandleClaim() override { CloseHandle(file_); }  // the file goes with its last handle

private:
    HANDLE file_;
};

}  // namespace

fs::path::string_type NativeText(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

fs::path PathFromText(std::string_view text) {
    return NativeText(text);
}

std::string TextFromPath(const fs::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

std::string DescribeError(const std::error_code& error) {
    if (error.category() != std::system_category()) {
        return error.message();
    }
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error.value()), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = length > 0 ? std::string(text, length) : std::string();
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == '.' || message.back() == ' ')) {
        message.pop_back();
    }
    return message.empty() ? "error " + std::to_string(error.value()) : message;
}

std::error_code Inspect(const fs::path& path, EntryInfo& info) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    info = {};
    if (const std::error_code error = Attributes(path, data)) {
        return IsMissing(static_cast<DWORD>(error.value())) ? std::error_code() : error;
    }
    if (IsLink(data.dwFileAttributes)) {
        info.kind = EntryKind::kLink;
    } else if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        info.kind = EntryKind::kFolder;
    } else {
        info = {EntryKind::kFile, StampOf(data)};
    }
    return {};
}

std::error_code ListFolder(const fs::path& folder, std::vector<FolderEntry>& entries) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW((folder / L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") {
            continue;
        }
        FolderEntry entry{name, {}};
        if (IsLink(found.dwFileAttributes)) {
            entry.info.kind = EntryKind::kLink;
        } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            entry.info.kind = EntryKind::kFolder;
        } else {
            entry.info = {
                EntryKind::kFile,
                {static_cast<std::uintmax_t>(Combine(found.nFileSizeHigh, found.nFileSizeLow)),
                 Combine(found.ftLastWriteTime.dwHighDateTime,
                         found.ftLastWriteTime.dwLowDateTime)}};
        }
        entries.push_back(std::move(entry));
    } while (FindNextFileW(search, &found));
    const DWORD error = GetLastError();
    FindClose(search);
    return error == ERROR_NO_MORE_FILES
               ? std::error_code()
               : std::error_code(static_cast<int>(error), std::system_category());
}

std::error_code StoredName(const fs::path& path, fs::path& name) {
    const std::wstring leaf = path.filename().native();
    if (leaf.find_first_of(L"*?") != std::wstring::npos) {
        return std::make_error_code(std::errc::invalid_argument);  // a pattern, not a name
    }
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    FindClose(search);
    name = found.cFileName;
    return {};
}

bool SameEntryName(const fs::path& a, const fs::path& b) {
    // File names compare without regard to case, as the file system does.
    return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1) ==
           CSTR_EQUAL;
}

// Why a copy failed: the source changed or went, or which side could not be used.
CopyResult CopyFailure(const fs::path& from, const FileStamp& expected, std::error_code error) {
    WIN32_FILE_ATTRIBUTE_DATA now{};
    if (Attributes(from, now) || IsLink(now.dwFileAttributes) ||
        (now.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || StampOf(now) != expected) {
        return {CopyResult::Outcome::kSourceChanged, {}};
    }
    if (const std::error_code sourceError = ProbeSource(from)) {
        return {CopyResult::Outcome::kSourceFailed, sourceError};
    }
    return {CopyResult::Outcome::kTargetFailed, error};
}

CopyResult CopyNewFile(const fs::path& from, const fs::path& to, const FileStamp& expected) {
    // The system's own copy, which never replaces: as fast as any copy the author makes.
    if (!CopyFileExW(from.c_str(), to.c_str(), nullptr, nullptr, nullptr,
                     COPY_FILE_FAIL_IF_EXISTS)) {
        return CopyFailure(from, expected, LastError());
    }
    // One look afterwards tells a file changed since the add, or while it was copied.
    WIN32_FILE_ATTRIBUTE_DATA after{};
    if (Attributes(from, after) || IsLink(after.dwFileAttributes) || StampOf(after) != expected) {
        return {CopyResult::Outcome::kSourceChanged, {}};
    }
    // The system copies the read-only mark too; the author's asset is theirs to edit.
    if (after.dwFileAttributes & FILE_ATTRIBUTE_READONLY) {
        SetFileAttributesW(to.c_str(), after.dwFileAttributes & ~FILE_ATTRIBUTE_READONLY);
    }
    return {};
}

std::error_code WriteNewFile(const fs::path& path, std::string_view bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    std::error_code error;
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        error = LastError();
    } else if (written != bytes.size()) {
        error = std::error_code(ERROR_DISK_FULL, std::system_category());
    }
    if (!CloseHandle(file) && !error) {
        error = LastError();
    }
    return error;
}

std::error_code ReadSmallFile(const fs::path& path, std::uintmax_t limit, std::string& bytes) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return LastError();
    }
    std::error_code error;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) {
        error = LastError();
    } else if (static_cast<std::uintmax_t>(size.QuadPart) > limit) {
        error = std::make_error_code(std::errc::file_too_large);
    } else {
        bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
            error = LastError();
        } else if (read != bytes.size()) {
            error = std::make_error_code(std::errc::io_error);
        }
    }
    CloseHandle(file);
    return error;
}

std::error_code MoveWithoutReplacing(const fs::path& from, const fs::path& to) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists.
    if (!MoveFileExW(from.c_str(), to.c_str(), 0)) {
        return LastError();
    }
    return {};
}

bool IsExistsError(const std::error_code& error) {
    if (error.category() == std::system_category()) {
        return error.value() == ERROR_ALREADY_EXISTS || error.value() == ERROR_FILE_EXISTS;
    }
    return error == std::errc::file_exists;
}

void HideEntry(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesW(path.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
    }
}

std::error_code RemoveEntry(const fs::path& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return IsMissing(GetLastError()) ? std::error_code() : LastError();
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    BOOL removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(path.c_str())
                                                           : DeleteFileW(path.c_str());
    if (!removed && IsLink(attributes)) {
        removed = DeleteFileW(path.c_str());  // Wine removes a host system's folder link so
    }
    return removed || IsMissing(GetLastError()) ? std::error_code() : LastError();
}

std::error_code ClaimFile(const fs::path& path, std::unique_ptr<FileClaim>& claim) {
    // Shared with no one, and gone when the last handle closes, also when the process dies.
    const HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED) {
            // A file marked for deletion also refuses to open while its holder lives.
            WIN32_FILE_ATTRIBUTE_DATA data{};
            if (error == ERROR_SHARING_VIOLATION || !Attributes(path, data)) {
                return std::make_error_code(std::errc::device_or_resource_busy);
            }
        }
        return std::error_code(static_cast<int>(error), std::system_category());
    }
    claim = std::make_unique<HandleClaim>(file);
    return {};
}

}  // namespace velcomp

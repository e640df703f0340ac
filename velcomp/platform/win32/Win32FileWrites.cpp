#include "velcomp/platform/win32/Win32Files.h"

#include <string>

#include "velcomp/platform/FileSystem.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

using win32::Handle;
using win32::LastError;

std::error_code WriteAll(HANDLE file, std::string_view bytes) {
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
        return LastError();
    }
    return written == bytes.size() ? std::error_code()
                                   : std::error_code(ERROR_DISK_FULL, std::system_category());
}

// A file in `folder` that the system removes when its handle closes, the process's end
// included; named so that no two processes choose the same name.
HANDLE MakePassingFile(const fs::path& folder, std::wstring& name) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = (folder / (L"~velcomp-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(GetTickCount()) + L"-" +
                                  std::to_wstring(attempt) + L".tmp")).native();
        const HANDLE file =
            CreateFileW(name.c_str(), GENERIC_WRITE | DELETE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

bool LinksAreUnsupported(DWORD error) {
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED;
}

std::error_code WriteNamedFile(const fs::path& path, std::string_view bytes) {
    Handle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return LastError();
    }
    std::error_code error = WriteAll(file.get(), bytes);
    if (!CloseHandle(file.release()) && !error) {
        error = LastError();
    }
    return error;
}

class HandleClaim : public FileClaim {
public:
    explicit HandleClaim(HANDLE file) : file_(file) {}
    ~HandleClaim() override { CloseHandle(file_); }  // the file goes with its last handle

private:
    HANDLE file_;
};

}  // namespace

std::error_code WriteNewFile(const fs::path& path, std::string_view bytes) {
    // Written under a passing name, then given its own by a link that fails when anything
    // has that name: the file appears whole or not at all.
    std::wstring passingName;
    Handle passing(MakePassingFile(path.parent_path(), passingName));
    if (!passing.valid()) {
        return LastError();
    }
    if (const std::error_code error = WriteAll(passing.get(), bytes)) {
        return error;
    }
    if (CreateHardLinkW(path.c_str(), passingName.c_str(), nullptr)) {
        return {};
    }
    const DWORD error = GetLastError();
    if (LinksAreUnsupported(error)) {
        return WriteNamedFile(path, bytes);  // a volume without links, such as FAT
    }
    return std::error_code(static_cast<int>(error), std::system_category());
}

std::error_code AppendToFile(const fs::path& path, std::string_view bytes) {
    Handle file(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return LastError();
    }
    std::error_code error = WriteAll(file.get(), bytes);
    if (!CloseHandle(file.release()) && !error) {
        error = LastError();
    }
    return error;
}

std::error_code ReadSmallFile(const fs::path& path, std::uintmax_t limit, std::string& bytes) {
    const Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        return LastError();
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        return LastError();
    }
    if (static_cast<std::uintmax_t>(size.QuadPart) > limit) {
        return std::make_error_code(std::errc::file_too_large);
    }
    bytes.assign(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return LastError();
    }
    return read == bytes.size() ? std::error_code() : std::make_error_code(std::errc::io_error);
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
            if (error == ERROR_SHARING_VIOLATION ||
                GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
                return std::make_error_code(std::errc::device_or_resource_busy);
            }
        }
        return std::error_code(static_cast<int>(error), std::system_category());
    }
    claim = std::make_unique<HandleClaim>(file);
    return {};
}

}  // namespace velcomp

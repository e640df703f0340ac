#include "velcomp/os/win32/Win32Files.h"

#include <chrono>
#include <string>
#include <thread>

#include "velcomp/os/FileSystem.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

using win32::Handle;
using win32::LastError;
using win32::LongPath;

constexpr DWORD kMostRead = 4096;

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
        name = LongPath(folder / (L"~velcomp-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                  std::to_wstring(GetTickCount()) + L"-" +
                                  std::to_wstring(attempt) + L".tmp"));
        const HANDLE file =
            CreateFileW(name.c_str(), GENERIC_WRITE | DELETE,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) {
            return file;
        }
    }
    return INVALID_HANDLE_VALUE;
}

bool LinksAreUnsupported(DWORD error) {
    return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED;
}

// Writes all of `bytes` to a file just opened, or says why it could not be opened, and
// closes it; the first error wins.
std::error_code WriteAndClose(HANDLE opened, std::string_view bytes) {
    Handle file(opened);
    if (!file.valid()) {
        return LastError();
    }
    std::error_code error = WriteAll(file.get(), bytes);
    if (!CloseHandle(file.release()) && !error) {
        error = LastError();
    }
    return error;
}

std::error_code WriteNamedFile(const fs::path& path, std::string_view bytes) {
    return WriteAndClose(CreateFileW(LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_ATTRIBUTE_NORMAL, nullptr),
                         bytes);
}

class HandleClaim : public FileClaim {
public:
    explicit HandleClaim(HANDLE file) : file_(file) {}
    // Marked for removal before the handle closes, so that no one finds it in between.
    ~HandleClaim() override {
        if (!leave_) {
            FILE_DISPOSITION_INFO remove{TRUE};
            SetFileInformationByHandle(file_, FileDispositionInfo, &remove, sizeof remove);
        }
        CloseHandle(file_);
    }
    std::error_code Append(std::string_view text) override {
        LARGE_INTEGER end{};
        if (!SetFilePointerEx(file_, end, nullptr, FILE_END)) {
            return LastError();
        }
        return WriteAll(file_, text);
    }
    void LeaveInPlace() override { leave_ = true; }

private:
    HANDLE file_;
    bool leave_ = false;
};

// What an open file refused for access holds: a folder, a link, a read-only or protected
// file is not ours; a plain one is a lock on its way out, whose holder is removing it.
TakeOutcome RefusedOutcome(const fs::path& path) {
    for (int wait = 0; wait < 50; ++wait) {
        const DWORD attributes = GetFileAttributesW(LongPath(path).c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            return TakeOutcome::kGone;
        }
        if (attributes &
            (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_REPARSE_POINT)) {
            return TakeOutcome::kNotAFile;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return TakeOutcome::kNotAFile;  // refused for good: protected, and so not ours
}

// What a failure to open a file to take says of it: nothing stands there, another claimant
// holds it, or (refused) what RefusedOutcome finds. Any other failure is an error.
std::error_code OpenFailure(DWORD error, const fs::path& path, TakeOutcome& outcome) {
    if (win32::IsMissing(error)) {
        outcome = TakeOutcome::kGone;
    } else if (error == ERROR_SHARING_VIOLATION) {
        outcome = TakeOutcome::kBusy;
    } else if (error == ERROR_ACCESS_DENIED) {
        outcome = RefusedOutcome(path);
    } else {
        return std::error_code(static_cast<int>(error), std::system_category());
    }
    return {};
}

// What an open file that we hold holds, up to kMostRead bytes.
std::error_code ReadHeld(HANDLE file, std::string& content) {
    content.assign(kMostRead, '\0');
    DWORD read = 0;
    if (!ReadFile(file, content.data(), kMostRead, &read, nullptr)) {
        return LastError();
    }
    content.resize(read);
    return {};
}

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
    if (CreateHardLinkW(LongPath(path).c_str(), passingName.c_str(), nullptr)) {
        return {};
    }
    const DWORD error = GetLastError();
    if (LinksAreUnsupported(error)) {
        return WriteNamedFile(path, bytes);  // a volume without links, such as FAT
    }
    return std::error_code(static_cast<int>(error), std::system_category());
}

std::error_code AppendToFile(const fs::path& path, std::string_view bytes) {
    return WriteAndClose(CreateFileW(LongPath(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr),
                         bytes);
}

std::error_code ReadSmallFile(const fs::path& path, std::uintmax_t limit, std::string& bytes) {
    const Handle file(CreateFileW(LongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
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

std::error_code TakeFile(const fs::path& path, std::unique_ptr<FileClaim>& claim,
                         TakeOutcome& outcome, std::string& content) {
    // Shared with no one: every other claimant is refused while we hold it.
    Handle file(CreateFileW(LongPath(path).c_str(), GENERIC_READ | GENERIC_WRITE | DELETE, 0,
                            nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file.valid()) {
        return OpenFailure(GetLastError(), path, outcome);
    }
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(file.get(), FileBasicInfo, &basic, sizeof basic)) {
        return LastError();
    }
    if (basic.FileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) {
        outcome = TakeOutcome::kNotAFile;
        return {};
    }
    if (const std::error_code error = ReadHeld(file.get(), content)) {
        return error;
    }
    claim = std::make_unique<HandleClaim>(file.release());
    outcome = TakeOutcome::kTaken;
    return {};
}

}  // namespace velcomp

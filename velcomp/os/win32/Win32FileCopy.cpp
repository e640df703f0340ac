#include "velcomp/os/win32/Win32Files.h"

#include "velcomp/os/FileSystem.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

// Whether the source can still be opened for reading; its error when it cannot.
std::error_code ProbeSource(const fs::path& from) {
    const win32::Handle file(CreateFileW(win32::LongPath(from).c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                         0, nullptr));
    return file.valid() ? std::error_code() : win32::LastError();
}

// One look at the source by its path: a file put in its place has a change time of its own,
// so its ID need not be read as well.
bool IsUnchanged(const fs::path& from, const FileStamp& expected) {
    win32::HandleFacts now;
    return win32::QuickLook(from, now) &&
           !(now.attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) &&
           now.size == expected.size && now.modified == expected.modified &&
           now.changed == expected.changed;
}

// Why a copy failed: the source changed or went, or which side could not be used.
CopyResult CopyFailure(const fs::path& from, const FileStamp& expected, std::error_code error) {
    if (!IsUnchanged(from, expected)) {
        return {CopyResult::Outcome::kSourceChanged, {}};
    }
    if (const std::error_code sourceError = ProbeSource(from)) {
        return {CopyResult::Outcome::kSourceFailed, sourceError};
    }
    return {CopyResult::Outcome::kTargetFailed, error};
}

}  // namespace

CopyResult CopyNewFile(const fs::path& from, const fs::path& to, const FileStamp& expected) {
    // The system's own copy, which never replaces: as fast as any copy the author makes.
    const std::wstring target = win32::LongPath(to);
    if (!CopyFileExW(win32::LongPath(from).c_str(), target.c_str(), nullptr, nullptr, nullptr,
                     COPY_FILE_FAIL_IF_EXISTS)) {
        return CopyFailure(from, expected, win32::LastError());
    }
    // One look afterwards tells a file changed since the add, or while it was copied: its
    // change time moves even when its size and last write are put back.
    if (!IsUnchanged(from, expected)) {
        return {CopyResult::Outcome::kSourceChanged, {}};
    }
    // The system copies the read-only mark too; the author's asset is theirs to edit.
    const DWORD attributes = GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(target.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    return {};
}

}  // namespace velcomp

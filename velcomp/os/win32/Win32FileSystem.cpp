#include "velcomp/os/win32/Win32Files.h"

#include <string>
#include <vector>

#include "codepage/CodePage.h"
#include "velcomp/os/FileSystem.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

using win32::Combine;
using win32::Handle;
using win32::LastError;
using win32::LongPath;

bool IsLink(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

EntryKind KindOf(DWORD attributes) {
    if (IsLink(attributes)) {
        return EntryKind::kLink;
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::kFolder : EntryKind::kFile;
}

std::int64_t TimeOf(const FILETIME& time) {
    return Combine(time.dwHighDateTime, time.dwLowDateTime);
}

// What a listing says of one entry: the same stamp that Identify gives for its path.
EntryInfo InfoOf(const FILE_ID_BOTH_DIR_INFO& entry) {
    EntryInfo info;
    info.kind = KindOf(entry.FileAttributes);
    info.stamp.changed = entry.ChangeTime.QuadPart;
    info.stamp.id = static_cast<std::uint64_t>(entry.FileId.QuadPart);
    if (info.kind == EntryKind::kFile) {
        info.stamp.size = static_cast<std::uintmax_t>(entry.EndOfFile.QuadPart);
        info.stamp.modified = entry.LastWriteTime.QuadPart;
    }
    return info;
}

// Adds the entries of one buffer that the system filled.
void AddEntries(const char* buffer, std::vector<FolderEntry>& entries) {
    for (auto* entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer);;
         entry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(
             reinterpret_cast<const char*>(entry) + entry->NextEntryOffset)) {
        const std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
        if (name != L"." && name != L"..") {
            entries.push_back({name, InfoOf(*entry), entry->LastWriteTime.QuadPart});
        }
        if (entry->NextEntryOffset == 0) {
            return;
        }
    }
}

// File systems that leave a folder's last write alone when its entries change.
bool KeepsFolderTimes(const wchar_t* fileSystem) {  // by the file system's name
    for (const wchar_t* fat : {L"FAT", L"FAT12", L"FAT16", L"FAT32", L"exFAT"}) {
        if (CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, fileSystem, -1, fat, -1) ==
            CSTR_EQUAL) {
            return false;
        }
    }
    return true;
}

}  // namespace

const std::int64_t kFileTimePerSecond = 10000000;

std::size_t CharacterSize(std::string_view text, std::size_t at) {
    if (codepage::AnsiCodePage() == CP_UTF8) {
        return Utf8CharacterSize(text, at);
    }
    return at + 1 < text.size() && codepage::IsLeadByte(static_cast<unsigned char>(text[at])) ? 2
                                                                                              : 1;
}

fs::path::string_type NativeText(std::string_view text) {
    return codepage::Widen(text);
}

fs::path PathFromText(std::string_view text) {
    return NativeText(text);
}

std::string TextFromPath(const fs::path& path) {
    return codepage::Narrow(path.native());
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
    if (!GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &data)) {
        return win32::IsMissing(GetLastError()) ? std::error_code() : LastError();
    }
    info.kind = KindOf(data.dwFileAttributes);
    if (info.kind == EntryKind::kFile) {
        info.stamp.size =
            static_cast<std::uintmax_t>(Combine(data.nFileSizeHigh, data.nFileSizeLow));
        info.stamp.modified = TimeOf(data.ftLastWriteTime);
    }
    return {};
}

std::error_code Identify(const fs::path& path, EntryInfo& info) {
    info = {};
    const Handle entry(win32::OpenForLooking(path));
    win32::HandleFacts facts;
    if (!entry.valid()) {
        return win32::IsMissing(GetLastError()) ? std::error_code() : LastError();
    }
    if (!win32::ReadFacts(entry.get(), facts)) {
        return LastError();
    }
    info.kind = KindOf(facts.attributes);
    info.stamp.changed = facts.changed;
    info.stamp.id = facts.id;
    if (info.kind == EntryKind::kFile) {
        info.stamp.size = static_cast<std::uintmax_t>(facts.size);
        info.stamp.modified = facts.modified;
    }
    return {};
}

std::error_code InspectTarget(const fs::path& path, EntryKind& kind) {
    kind = EntryKind::kMissing;
    const Handle entry(CreateFileW(LongPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILE_BASIC_INFO basic{};
    if (!entry.valid()) {
        return win32::IsMissing(GetLastError()) ? std::error_code() : LastError();
    }
    if (!GetFileInformationByHandleEx(entry.get(), FileBasicInfo, &basic, sizeof basic)) {
        return LastError();
    }
    kind =
        (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::kFolder : EntryKind::kFile;
    return {};
}

std::error_code ListFolder(const fs::path& folder, std::vector<FolderEntry>& entries) {
    const Handle listing(CreateFileW(LongPath(folder).c_str(), FILE_LIST_DIRECTORY,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!listing.valid()) {
        return LastError();
    }
    std::vector<std::uint64_t> buffer(8192);  // 64 KiB, aligned as the entries need
    auto part = FileIdBothDirectoryRestartInfo;
    while (GetFileInformationByHandleEx(listing.get(), part, buffer.data(),
                                        static_cast<DWORD>(buffer.size() * sizeof buffer[0]))) {
        AddEntries(reinterpret_cast<const char*>(buffer.data()), entries);
        part = FileIdBothDirectoryInfo;
    }
    return GetLastError() == ERROR_NO_MORE_FILES ? std::error_code() : LastError();
}

std::error_code FolderWritten(const fs::path& path, EntryKind& kind, std::int64_t& written) {
    win32::HandleFacts facts;
    kind = EntryKind::kMissing;
    if (!win32::QuickLook(path, facts)) {
        return {};  // the quick look gives no reason: whatever stops it, nothing is there to use
    }
    kind = (facts.attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::kFolder : EntryKind::kFile;
    written = facts.modified;
    return {};
}

std::error_code SetWritten(const fs::path& path, std::int64_t written) {
    const Handle folder(CreateFileW(LongPath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const FILETIME time{static_cast<DWORD>(written), static_cast<DWORD>(written >> 32)};
    if (!folder.valid() || !SetFileTime(folder.get(), nullptr, nullptr, &time)) {
        return LastError();
    }
    return {};
}

std::error_code LookAtTree(const fs::path& folder, EntryKind& kind, TreeOrigin& origin) {
    kind = EntryKind::kMissing;
    const Handle entry(CreateFileW(LongPath(folder).c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!entry.valid()) {
        return win32::IsMissing(GetLastError()) ? std::error_code() : LastError();
    }
    win32::HandleFacts facts;
    if (!win32::ReadFacts(entry.get(), facts)) {
        return LastError();
    }
    // The volume's number by the file ID's class (Windows 8 on, and Wine, which cannot give
    // the volume's own information for a drive that it maps to a folder of its host), else by
    // the volume's own information.
    struct {
        ULONGLONG volume;
        BYTE id[16];
    } fileId{};
    constexpr auto kFileIdInfo = static_cast<FILE_INFO_BY_HANDLE_CLASS>(18);
    DWORD serial = 0;
    if (GetFileInformationByHandleEx(entry.get(), kFileIdInfo, &fileId, sizeof fileId)) {
        serial = static_cast<DWORD>(fileId.volume);
    } else if (!GetVolumeInformationByHandleW(entry.get(), nullptr, 0, &serial, nullptr, nullptr,
                                              nullptr, 0)) {
        return LastError();
    }
    kind = KindOf(facts.attributes);
    origin.volume = serial;
    origin.id = facts.id;
    return {};
}

bool KeepsFolderTimes(const fs::path& folder) {
    const Handle entry(CreateFileW(LongPath(folder).c_str(), FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    wchar_t fileSystem[MAX_PATH + 1] = {};
    return entry.valid() &&
           GetVolumeInformationByHandleW(entry.get(), nullptr, 0, nullptr, nullptr, nullptr,
                                         fileSystem, MAX_PATH + 1) &&
           KeepsFolderTimes(fileSystem);
}

std::int64_t FileTimeNow() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    return TimeOf(now);
}

std::error_code StoredName(const fs::path& path, fs::path& name) {
    const std::wstring leaf = path.filename().native();
    if (leaf.find_first_of(L"*?") != std::wstring::npos) {
        return std::make_error_code(std::errc::invalid_argument);  // a pattern, not a name
    }
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(LongPath(path).c_str(), &found);
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

std::error_code MakeFolder(const fs::path& path) {
    if (CreateDirectoryW(LongPath(path).c_str(), nullptr)) {
        return {};
    }
    return GetLastError() == ERROR_ALREADY_EXISTS ? std::make_error_code(std::errc::file_exists)
                                                  : LastError();
}

std::error_code MoveWithoutReplacing(const fs::path& from, const fs::path& to) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists.
    if (!MoveFileExW(LongPath(from).c_str(), LongPath(to).c_str(), 0)) {
        return LastError();
    }
    return {};
}

std::error_code MoveReplacing(const fs::path& from, const fs::path& to) {
    if (!MoveFileExW(LongPath(from).c_str(), LongPath(to).c_str(), MOVEFILE_REPLACE_EXISTING)) {
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
    const std::wstring name = LongPath(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesW(name.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
    }
}

std::error_code RemoveEntry(const fs::path& path) {
    const std::wstring name = LongPath(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return win32::IsMissing(GetLastError()) ? std::error_code() : LastError();
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
        SetFileAttributesW(name.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    BOOL removed = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? RemoveDirectoryW(name.c_str())
                                                           : DeleteFileW(name.c_str());
    if (!removed && IsLink(attributes)) {
        removed = DeleteFileW(name.c_str());  // Wine removes a host system's folder link so
    }
    const DWORD error = removed ? ERROR_SUCCESS : GetLastError();
    if (!removed && (attributes & FILE_ATTRIBUTE_READONLY)) {
        SetFileAttributesW(name.c_str(), attributes);  // what stays, stays as it was
    }
    return removed || win32::IsMissing(error)
               ? std::error_code()
               : std::error_code(static_cast<int>(error), std::system_category());
}

}  // namespace velcomp

#include "velcomp/os/win32/Win32Files.h"

#include <winternl.h>

namespace velcomp::win32 {
namespace {

// The native calls that Windows' own file functions make; ntdll is in every process.
template <class Function>
Function NativeCall(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

// FILE_INTERNAL_INFORMATION and FILE_NETWORK_OPEN_INFORMATION as the system fills them.
constexpr int kInternalInformation = 6;
struct NetworkOpenInformation {
    LARGE_INTEGER creation, access, write, change, allocation, end;
    ULONG attributes;
};
constexpr int kStatusSuccess = 0;

}  // namespace

bool ReadFacts(HANDLE entry, HandleFacts& facts) {
    using Query = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG, FILE_INFORMATION_CLASS);
    static const auto query = NativeCall<Query>("NtQueryInformationFile");
    FILE_BASIC_INFO basic{};
    FILE_STANDARD_INFO standard{};
    IO_STATUS_BLOCK status{};
    LARGE_INTEGER id{};
    if (!GetFileInformationByHandleEx(entry, FileBasicInfo, &basic, sizeof basic) ||
        !GetFileInformationByHandleEx(entry, FileStandardInfo, &standard, sizeof standard)) {
        return false;
    }
    if (query == nullptr ||
        query(entry, &status, &id, sizeof id,
              static_cast<FILE_INFORMATION_CLASS>(kInternalInformation)) != kStatusSuccess) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    facts = {basic.FileAttributes, basic.LastWriteTime.QuadPart, basic.ChangeTime.QuadPart,
             static_cast<std::uint64_t>(standard.EndOfFile.QuadPart),
             static_cast<std::uint64_t>(id.QuadPart)};
    return true;
}

bool QuickLook(const std::filesystem::path& path, HandleFacts& facts) {
    using Look = NTSTATUS(NTAPI*)(POBJECT_ATTRIBUTES, NetworkOpenInformation*);
    static const auto look = NativeCall<Look>("NtQueryFullAttributesFile");
    // \\?\C:\... and \\?\UNC\... are \??\C:\... and \??\UNC\... to the system.
    std::wstring name = LongPath(path);
    name[1] = L'?';
    UNICODE_STRING text{static_cast<USHORT>(name.size() * sizeof(wchar_t)),
                        static_cast<USHORT>(name.size() * sizeof(wchar_t)), name.data()};
    OBJECT_ATTRIBUTES attributes{};
    InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, nullptr, nullptr);
    NetworkOpenInformation found{};
    if (look == nullptr || name.size() * sizeof(wchar_t) > 0xFFFF ||
        look(&attributes, &found) != kStatusSuccess) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    facts = {found.attributes, found.write.QuadPart, found.change.QuadPart,
             static_cast<std::uint64_t>(found.end.QuadPart), 0};
    return true;
}

}  // namespace velcomp::win32

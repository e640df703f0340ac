#include "platform/win32/Win32Platform.h"

#include <shellapi.h>

#include "codepage/CodePage.h"
#include "framework/WinApp.h"

namespace kitwright {

bool Win32Platform::ReadMachineValue(const std::string& subKey, const std::string& valueName,
                                     std::string& data) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    BYTE buffer[kPathBufferSize] = {};
    DWORD size = sizeof buffer;
    const LONG status = RegQueryValueExA(key, valueName.c_str(), nullptr, nullptr, buffer, &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || size > sizeof buffer) {
        return false;  // missing, or longer than the buffer (ERROR_MORE_DATA)
    }
    data.assign(reinterpret_cast<const char*>(buffer), size);
    return true;
}

bool Win32Platform::PathExists(const std::string& path) {
    // Wildcards are never part of a real name; they must not match someone else's folder.
    if (path.find_first_of("*?") != std::string::npos) {
        return false;
    }
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Win32Platform::CopyFileReplacing(const std::string& from, const std::string& to) {
    CopyFileA(from.c_str(), to.c_str(), FALSE);
}

void Win32Platform::Launch(const std::string& program, const std::string& parameters) {
    ShellExecuteA(nullptr, nullptr, program.c_str(),
                  parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL);
}

void Win32Platform::ShowMessage(const std::wstring& text) {
    HWND owner = owner_ != nullptr ? owner_->m_hWnd : nullptr;
    framework::AfxMessageBox(owner, text.c_str());  // captioned with the application's name
}

std::string Win32Platform::ProgramFileName() {
    return framework::AfxProgramFileName();
}

bool Win32Platform::IsLeadByte(unsigned char byte) {
    return codepage::IsLeadByte(byte);
}

std::wstring Win32Platform::WideText(const std::string& text) {
    return codepage::Widen(text);
}

bool Win32Platform::ToCodePage(const std::wstring& text, std::string& bytes) {
    return codepage::NarrowExactly(text, bytes);
}

unsigned Win32Platform::AnsiCodePage() {
    return codepage::AnsiCodePage();
}

std::string Win32Platform::StoredNameIfOther(const std::string& path) {
    const std::wstring wide = WideText(path);
    const std::size_t slash = wide.find_last_of(L'\\');
    const std::wstring asked = slash == std::wstring::npos ? wide : wide.substr(slash + 1);
    if (asked.empty() || asked.find_first_of(L"*?") != std::wstring::npos) {
        return {};  // a pattern would find some other entry
    }
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(wide.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return {};
    }
    FindClose(search);
    // Names differ in case alone only as the file system does not care.
    if (CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, found.cFileName, -1, asked.c_str(), -1) ==
        CSTR_EQUAL) {
        return {};
    }
    return codepage::Narrow(found.cFileName);
}

}  // namespace kitwright

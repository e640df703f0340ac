#include "platform/win32/Win32Platform.h"

#include <shellapi.h>

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

void Win32Platform::ShowMessage(const std::string& text) {
    HWND owner = owner_ != nullptr ? owner_->m_hWnd : nullptr;
    framework::AfxMessageBox(owner, text.c_str());  // captioned with the application's name
}

std::string Win32Platform::ProgramFileName() {
    return framework::AfxProgramFileName();
}

}  // namespace kitwright

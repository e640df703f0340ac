// Stands in for a program that Kitwright launches (Nameplate.exe, explorer.exe): appends
// its own file name and its parameters, if any, as one line to the file that KITWRIGHT_LAUNCH_LOG
// names, and ends.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// The command line after the program's own, possibly quoted, name.
const char* Parameters(const char* p) {
    if (*p == '"') {
        const char* closing = std::strchr(p + 1, '"');
        p = closing != nullptr ? closing + 1 : "";
    } else {
        p += std::strcspn(p, " \t");
    }
    return p + std::strspn(p, " \t");
}

std::string OwnFileName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* slash = std::strrchr(path, '\\');
    return slash != nullptr ? slash + 1 : path;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const char* log = std::getenv("KITWRIGHT_LAUNCH_LOG");
    if (log == nullptr) {
        return 2;
    }
    const std::string parameters = Parameters(GetCommandLineA());
    const std::string line = OwnFileName() + (parameters.empty() ? "" : " " + parameters) + "\n";
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 3;
    }
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}

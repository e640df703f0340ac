// Stands in for velCompDLL.dll in tests: the seven exports append each call, with its
// arguments, to the file that KITWRIGHT_LIBRARY_LOG names. GetMyKUID answers with
// KITWRIGHT_KUID; ExtractFromPackage writes the asset folder with its config.txt, unless
// KITWRIGHT_LIBRARY_WRITES is 0. Like the host's own library, it has no GetLastPackageError.
#define VELCOMP_BUILDING_DLL
#include "contract/velCompDLL.h"

#include <windows.h>

#include <cstdlib>
#include <string>

namespace {

// One line per call; line breaks inside arguments are written as \r and \n.
std::string Escaped(const char* text) {
    if (text == nullptr) {
        return "(null)";
    }
    std::string escaped;
    for (; *text != '\0'; ++text) {
        if (*text == '\r') {
            escaped += "\\r";
        } else if (*text == '\n') {
            escaped += "\\n";
        } else {
            escaped += *text;
        }
    }
    return escaped;
}

void Record(std::string call) {
    const char* log = std::getenv("KITWRIGHT_LIBRARY_LOG");
    if (log == nullptr) {
        return;
    }
    call += "\n";
    HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    WriteFile(file, call.data(), static_cast<DWORD>(call.size()), &written, nullptr);
    CloseHandle(file);
}

void CreateFolders(const std::string& path) {
    for (std::size_t at = path.find('\\', 3); at != std::string::npos;
         at = path.find('\\', at + 1)) {
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
}

}  // namespace

extern "C" {

void __cdecl InitVEL(void) {
    Record("InitVEL");
}

int __cdecl GetMyKUID(void) {
    Record("GetMyKUID");
    const char* kuid = std::getenv("KITWRIGHT_KUID");
    return kuid != nullptr ? std::atoi(kuid) : 0;
}

void __cdecl ClosePackage(void) {
    Record("ClosePackage");
}

void __cdecl CreatePackage(const char* name) {
    Record("CreatePackage [" + Escaped(name) + "]");
}

void __cdecl SetStringData(const char* key, const char* value) {
    Record("SetStringData [" + Escaped(key) + "] [" + Escaped(value) + "]");
}

bool __cdecl AddToPackageSpecial(const char* source, const char* name, const char* description,
                                 const char* classCode, char* errorText) {
    Record("AddToPackageSpecial [" + Escaped(source) + "] [" + Escaped(name) + "] [" +
           Escaped(description) + "] [" + Escaped(classCode) + "]");
    errorText[0] = '\0';
    return true;
}

void __cdecl ExtractFromPackage(const char* destination, const char* name) {
    Record("ExtractFromPackage [" + Escaped(destination) + "] [" + Escaped(name) + "]");
    const char* writes = std::getenv("KITWRIGHT_LIBRARY_WRITES");
    if (writes != nullptr && std::string(writes) == "0") {
        return;  // a library that fails to write and has no way to say why
    }
    const std::string folder = std::string(destination) + name;
    CreateFolders(folder);
    HANDLE config = CreateFileA((folder + "\\config.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (config != INVALID_HANDLE_VALUE) {
        CloseHandle(config);
    }
}

}  // extern "C"

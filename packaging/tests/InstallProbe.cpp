// What the installer test asks of Windows itself, under Wine, about an installed Kitwright:
//   install_probe shortcuts
//       the Kitwright folders of the Programs menus (the user's and everyone's) and each
//       shortcut in them, read through the shell's own link object
//   install_probe find PROGRAM
//       starts PROGRAM by its bare name through the shell from C:\ and prints the file that
//       was started; exit status 1 when the shell finds none
//   install_probe create LIBRARY SOURCE DESTINATION NAME DESCRIPTION
//       builds an asset with that velCompDLL.dll, as Kitwright calls it
// It lives in a folder of its own: the shell also searches the caller's folder, and a
// Nameplate.exe beside the probe would hide the one the App Paths entry names.
#include <windows.h>
#include <objbase.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "codepage/CodePage.h"
#include "contract/velCompDLL.h"

namespace {

// One line per shortcut: "shortcut NAME -> TARGET in WORKING_FOLDER".
void PrintShortcut(const std::string& folder, const char* name) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link)))) {
        std::printf("shortcut %s: no shell link object\n", name);
        return;
    }
    IPersistFile* file = nullptr;
    char target[MAX_PATH] = {};
    char working[MAX_PATH] = {};
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        if (SUCCEEDED(file->Load(codepage::Widen(folder + "\\" + name).c_str(), STGM_READ))) {
            link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
            link->GetWorkingDirectory(working, MAX_PATH);
        }
        file->Release();
    }
    link->Release();
    std::printf("shortcut %s -> %s in %s\n", name, target, working);
}

void PrintMenuFolder(int csidl) {
    char programs[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, programs))) {
        return;
    }
    const std::string folder = std::string(programs) + "\\Kitwright";
    if (GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return;
    }
    std::printf("folder %s\n", folder.c_str());
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return;
    }
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            PrintShortcut(folder, found.cFileName);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

int Shortcuts() {
    CoInitialize(nullptr);
    PrintMenuFolder(CSIDL_PROGRAMS);
    PrintMenuFolder(CSIDL_COMMON_PROGRAMS);
    CoUninitialize();
    return 0;
}

// The shell's search for a bare name, from a current folder that holds no program of ours.
int Find(const char* program) {
    SetCurrentDirectoryA("C:\\");
    SHELLEXECUTEINFOA run = {};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    run.lpVerb = "open";
    run.lpFile = program;
    run.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&run) || run.hProcess == nullptr) {
        std::printf("not found: %s (error %lu)\n", program, GetLastError());
        return 1;
    }
    // The module list exists once the program has started; it is idle once it shows.
    WaitForInputIdle(run.hProcess, 30000);
    char image[MAX_PATH] = {};
    GetModuleFileNameExA(run.hProcess, nullptr, image, MAX_PATH);
    TerminateProcess(run.hProcess, 0);
    WaitForSingleObject(run.hProcess, 10000);
    CloseHandle(run.hProcess);
    std::printf("started %s\n", image);
    return 0;
}

template <typename Function>
Function Export(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

// The calls of a template Create, in Kitwright's order.
int Create(const char* library, const char* source, const char* destination, const char* name,
           const char* description) {
    HMODULE dll = LoadLibraryA(library);
    if (dll == nullptr) {
        std::printf("cannot load %s (error %lu)\n", library, GetLastError());
        return 1;
    }
    const auto init = Export<decltype(&InitVEL)>(dll, "InitVEL");
    const auto kuid = Export<decltype(&GetMyKUID)>(dll, "GetMyKUID");
    const auto close = Export<decltype(&ClosePackage)>(dll, "ClosePackage");
    const auto create = Export<decltype(&CreatePackage)>(dll, "CreatePackage");
    const auto set = Export<decltype(&SetStringData)>(dll, "SetStringData");
    const auto add = Export<decltype(&AddToPackageSpecial)>(dll, "AddToPackageSpecial");
    const auto extract = Export<decltype(&ExtractFromPackage)>(dll, "ExtractFromPackage");
    if (!init || !kuid || !close || !create || !set || !add || !extract) {
        std::printf("%s lacks one of the calls Kitwright makes\n", library);
        return 1;
    }
    init();
    std::printf("kuid %d\n", kuid());
    close();
    create("");
    set("description", description);
    char error[contract::kErrorTextSize] = {};
    if (!add(source, name, description, "BC", error)) {
        std::printf("add failed: %s\n", error);
        return 1;
    }
    extract(destination, name);
    close();
    std::printf("written %s%s\n", destination, name);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "shortcuts" && argc == 2) {
        return Shortcuts();
    }
    if (command == "find" && argc == 3) {
        return Find(argv[2]);
    }
    if (command == "create" && argc == 7) {
        return Create(argv[2], argv[3], argv[4], argv[5], argv[6]);
    }
    std::fprintf(stderr, "usage: install_probe shortcuts | find PROGRAM | "
                         "create LIBRARY SOURCE DESTINATION NAME DESCRIPTION\n");
    return 2;
}

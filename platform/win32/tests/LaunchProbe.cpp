// A program for tests to launch. It waits until the test lets it go (so a launcher that
// waited for it would be caught), then writes its parameters to the file that
// KITWRIGHT_PROBE_LOG names, followed by a line saying whether it was let go.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

// The command line after the program's own (possibly quoted) name.
const char* Parameters(const char* commandLine) {
    const char* p = commandLine;
    if (*p == '"') {
        for (++p; *p && *p != '"'; ++p) {
        }
        if (*p) {
            ++p;
        }
    } else {
        while (*p && *p != ' ' && *p != '\t') {
            ++p;
        }
    }
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    return p;
}

bool WaitToBeLetGo() {
    const char* name = std::getenv("KITWRIGHT_PROBE_EVENT");
    if (name == nullptr) {
        return true;
    }
    HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, name);
    const bool released = event != nullptr && WaitForSingleObject(event, 10000) == WAIT_OBJECT_0;
    if (event != nullptr) {
        CloseHandle(event);
    }
    return released;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const bool released = WaitToBeLetGo();
    const char* log = std::getenv("KITWRIGHT_PROBE_LOG");
    if (log == nullptr) {
        return 2;
    }
    // Written under another name and renamed, so a reader never sees half a file.
    char partial[MAX_PATH + 8];
    std::snprintf(partial, sizeof partial, "%s.part", log);
    FILE* file = std::fopen(partial, "wb");
    if (file == nullptr) {
        return 3;
    }
    std::fprintf(file, "%s\n%s\n", Parameters(GetCommandLineA()),
                 released ? "released" : "timed out");
    std::fclose(file);
    return MoveFileExA(partial, log, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}

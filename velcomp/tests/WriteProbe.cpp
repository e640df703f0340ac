// A write-out in a process of its own, for the kill tests to stop at any moment.
// Usage: velcomp_write_probe SETTINGS SOURCE DESTINATION NAME ADDED-FILE [STEP]
//   SETTINGS     the settings folder (natively) or key under HKEY_CURRENT_USER (Windows)
//   ADDED-FILE   made once the asset is added, just before the write-out starts; once it
//                has succeeded, ADDED-FILE.took holds how long it took, in microseconds
//   STEP         the process dies at once on reaching the write-out's STEP-th step
// Exit status 0 when the write-out succeeded, 1 when it failed (the reason on stderr).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "velcomp/Library.h"
#include "velcomp/WriteSteps.h"

#ifdef _WIN32
#include <windows.h>

#include "velcomp/os/win32/RegistrySettingsStore.h"
#else
#include <csignal>

#include "velcomp/os/posix/FolderSettingsStore.h"
#endif

namespace {

long g_stepsLeft = -1;

void DieAtStep(const char*) {
    if (--g_stepsLeft == 0) {
#ifdef _WIN32
        TerminateProcess(GetCurrentProcess(), 9);
#else
        std::raise(SIGKILL);
#endif
    }
}

std::unique_ptr<velcomp::SettingsStore> OpenSettings(const std::string& where) {
#ifdef _WIN32
    return std::make_unique<velcomp::RegistrySettingsStore>(where);
#else
    return std::make_unique<velcomp::FolderSettingsStore>(where);
#endif
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fprintf(stderr,
                     "%d arguments; usage: velcomp_write_probe SETTINGS SOURCE DESTINATION NAME "
                     "ADDED-FILE [STEP]\n",
                     argc - 1);
        return 2;
    }
    const auto settings = OpenSettings(argv[1]);
    velcomp::Library library(*settings);
    library.CreatePackage("");
    const velcomp::Result added = library.AddToPackage({argv[2], argv[4], "Killed", "BC"});
    if (!added) {
        std::fprintf(stderr, "%s\n", added.message().c_str());
        return 1;
    }
    if (argc > 6) {
        g_stepsLeft = std::atol(argv[6]);
        velcomp::SetWriteStepHook(DieAtStep);
    }
    std::ofstream(argv[5]).put('+');
    const auto start = std::chrono::steady_clock::now();
    const velcomp::Result written = library.ExtractFromPackage(argv[3], argv[4]);
    if (!written) {
        std::fprintf(stderr, "%s\n", written.message().c_str());
        return 1;
    }
    // How long the write-out took, for the kill tests to aim within it.
    std::ofstream(std::string(argv[5]) + ".took")
        << std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 start)
               .count();
    return 0;
}

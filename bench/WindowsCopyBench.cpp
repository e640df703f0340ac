// Times the Windows library's package build and write-out of the 500-file, 256 MiB skin
// folder against a tree copy of it file by file with CopyFileA, alternating in one run; then a
// small template's write-out beside content trees of up to 20,000 assets (ContentTree.h).
// Usage (under Wine or on Windows): velcomp_windows_bench [work folder]
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/ContentTree.h"
#include "bench/SkinFolder.h"
#include "velcomp/CreatorIdentity.h"
#include "velcomp/Library.h"
#include "velcomp/os/win32/RegistrySettingsStore.h"

namespace fs = std::filesystem;

namespace {

constexpr int kRounds = 11;
constexpr char kSettingsKey[] = "Software\\Kitwright Bench";

// The copy an author's own tool would make: folders made, each file copied by the system.
bool CopyTree(const std::string& from, const std::string& to) {
    if (!CreateDirectoryA(to.c_str(), nullptr)) {
        return false;
    }
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA((from + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = true;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") {
            continue;
        }
        ok = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                 ? CopyTree(from + "\\" + name, to + "\\" + name)
                 : CopyFileA((from + "\\" + name).c_str(), (to + "\\" + name).c_str(), TRUE);
    } while (ok && FindNextFileA(search, &found));
    FindClose(search);
    return ok;
}

double TimeCopy(const fs::path& skin, const fs::path& target) {
    const auto start = std::chrono::steady_clock::now();
    if (!CopyTree(skin.string(), target.string())) {
        std::fprintf(stderr, "the CopyFileA tree copy failed (%lu)\n", GetLastError());
        std::exit(1);
    }
    return bench::Seconds(std::chrono::steady_clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path base = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    const fs::path work = base / ("velcomp-bench-" + std::to_string(GetCurrentProcessId()));
    const fs::path skin = work / "skin";
    std::printf("Building %d files, %ju MiB, in %s\n", bench::kFiles, bench::kTotalBytes >> 20,
                work.string().c_str());
    bench::MakeSkinFolder(skin);

    velcomp::RegistrySettingsStore settings(kSettingsKey);
    velcomp::SetCreatorKuid(settings, 1000);
    velcomp::Library library(settings);

    const fs::path copyTarget = work / "copy-out";
    const fs::path libraryTarget = work / "lib-out";
    bench::CompareRounds(
        kRounds, "CopyFileA tree", [&] { return TimeCopy(skin, copyTarget); },
        [&] { return bench::TimeLibrary(library, skin, libraryTarget); },
        [&] {
            fs::remove_all(copyTarget);
            fs::remove_all(libraryTarget);
        },
        1.05);
    bench::TimeIndexedWriteOuts(work, settings, library);
    fs::remove_all(work);
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("peak working set of this process: %.1f MiB (aim < 32 MiB)\n",
                static_cast<double>(memory.PeakWorkingSetSize) / (1024.0 * 1024.0));
    return 0;
}

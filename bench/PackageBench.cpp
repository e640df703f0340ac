// Times the library's package build and write-out of a 500-file, 256 MiB skin folder
// against `cp -r` of the same folder on the same disk, and reports peak memory; then a small
// template's write-out beside content trees of up to 20,000 assets (ContentTree.h).
// Usage: velcomp_bench [work folder]   (default: the system's temporary folder)
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/ContentTree.h"
#include "bench/SkinFolder.h"
#include "velcomp/CreatorIdentity.h"
#include "velcomp/Library.h"
#include "velcomp/os/posix/FolderSettingsStore.h"

namespace fs = std::filesystem;

namespace {

using bench::kFiles;
using bench::kTotalBytes;
using bench::Seconds;

constexpr int kRounds = 9;

double TimeCopy(const fs::path& skin, const fs::path& target) {
    const std::string command = "cp -r '" + skin.string() + "' '" + target.string() + "'";
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "cp -r failed\n");
        std::exit(1);
    }
    return Seconds(std::chrono::steady_clock::now() - start);
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path base = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    const fs::path work = base / ("velcomp-bench-" + std::to_string(::getpid()));
    const fs::path skin = work / "skin";
    std::printf("Building %d files, %ju MiB, in %s\n", kFiles, kTotalBytes >> 20, work.c_str());
    bench::MakeSkinFolder(skin);
    ::sync();

    velcomp::FolderSettingsStore settings(work / "settings");
    velcomp::SetCreatorKuid(settings, 1000);
    velcomp::Library library(settings);

    const fs::path copyTarget = work / "cp-out";
    const fs::path libraryTarget = work / "lib-out";
    bench::CompareRounds(
        kRounds, "cp -r", [&] { return TimeCopy(skin, copyTarget); },
        [&] { return bench::TimeLibrary(library, skin, libraryTarget); },
        [&] {
            fs::remove_all(copyTarget);
            fs::remove_all(libraryTarget);
            ::sync();
        },
        1.10);
    bench::TimeIndexedWriteOuts(work, settings, library);
    fs::remove_all(work);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak memory of this process: %.1f MiB (aim < 32 MiB)\n",
                static_cast<double>(usage.ru_maxrss) / 1024.0);
    return 0;
}

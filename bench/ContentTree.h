// A small template's write-out beside an author's content tree of 0, 1,000, 5,000 and 20,000
// assets: the first one, which builds the index of the tree's asset numbers, the median of
// later ones (each one's asset staying, as an author's would), and one after 10 assets were
// copied in; with what listing the folder that changed and reading those 10 config.txt costs,
// and what one look at a name there and at one not there costs in the category written in.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/SkinFolder.h"
#include "velcomp/Library.h"
#include "velcomp/os/FileSystem.h"

namespace bench {

constexpr int kTreeSizes[] = {0, 1000, 5000, 20000};
constexpr int kLaterWriteOuts = 7;
constexpr int kCopiedIn = 10;
constexpr std::int32_t kCreator = 1000;
const char* const kCategories[] = {"Scenery", "Trains", "Track", "Flora", "Splines"};

// An asset as authors' trees hold them: its config.txt, a mesh, and two textures in a folder.
inline void MakeAsset(const std::filesystem::path& folder, int number) {
    static const std::string mesh(2048, 'm');
    static const std::string texture(4096, 't');
    std::filesystem::create_directories(folder / "textures");
    std::ofstream(folder / "config.txt", std::ios::binary)
        << "kind = scenery\r\nmesh-table.default.mesh = main.obj\r\nkuid = <kuid:" << kCreator
        << ":" << number << ">\r\nusername = \"Asset " << number
        << "\"\r\ndescription = \"One of many\"\r\ncategory-class = BC\r\n";
    std::ofstream(folder / "main.obj", std::ios::binary) << mesh;
    std::ofstream(folder / "textures" / "wall.bmp", std::ios::binary) << texture;
    std::ofstream(folder / "textures" / "roof.bmp", std::ios::binary) << texture;
}

// The small template that each timed write-out is made from.
inline void MakeTemplate(const std::filesystem::path& folder) {
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "config.txt", std::ios::binary) << "kind = scenery\r\n";
    std::ofstream(folder / "main.obj", std::ios::binary) << std::string(2048, 'm');
    std::ofstream(folder / "main.bmp", std::ios::binary) << std::string(4096, 'p');
}

// One write-out of the template by the library, as Kitwright makes it, in milliseconds.
inline double WriteOut(velcomp::Library& library, const std::filesystem::path& source,
                       const std::filesystem::path& custom, const std::string& name) {
    const std::string from = (source / "").string();
    const std::string to = (custom / "Scenery" / "").string();
    const auto start = std::chrono::steady_clock::now();
    library.ClosePackage();
    library.CreatePackage("");
    library.SetStringData("description", "Benchmark");
    velcomp::Result result = library.AddToPackage({from, name, "Benchmark", "BC"});
    if (result) {
        result = library.ExtractFromPackage(to, name);
    }
    const double ms = Seconds(std::chrono::steady_clock::now() - start) * 1000;
    if (!result) {
        std::fprintf(stderr, "library failed: %s\n", result.message().c_str());
        std::exit(1);
    }
    return ms;
}

// What the write-out after a copy-in should cost at most: listing the folder that changed
// and reading the new config.txt files.
inline double ListAndRead(const std::filesystem::path& folder, const std::vector<int>& copied) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<velcomp::FolderEntry> entries;
    velcomp::ListFolder(folder, entries);
    for (const int number : copied) {
        std::string text;
        velcomp::ReadSmallFile(folder / ("Copied " + std::to_string(number)) / "config.txt",
                               1 << 20, text);
    }
    return Seconds(std::chrono::steady_clock::now() - start) * 1000;
}

// What one look at a name in a category folder costs, for a name there and for one that is
// not: under Wine the second lists the whole folder, to find the name in another case.
inline void TimeLookUps(const std::filesystem::path& folder) {
    constexpr int kLooks = 200;
    std::vector<velcomp::FolderEntry> entries;
    velcomp::ListFolder(folder, entries);
    std::printf("one look at a name beside the %zu entries of %s:", entries.size(),
                folder.filename().string().c_str());
    for (const char* name : {"Asset 0", "Not There"}) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kLooks; ++i) {
            velcomp::EntryInfo info;
            velcomp::Inspect(folder / name, info);
        }
        std::printf(" %s %.3f ms", *name == 'A' ? "there" : "not there",
                    Seconds(std::chrono::steady_clock::now() - start) * 1000 / kLooks);
    }
    std::printf("\n");
}

inline void ForgetIndex(const velcomp::SettingsStore& settings) {
    std::error_code error;
    for (std::filesystem::directory_iterator it(settings.StateFolder(), error), end;
         !error && it != end; it.increment(error)) {
        std::filesystem::remove(it->path(), error);
    }
}

inline void TimeIndexedWriteOuts(const std::filesystem::path& work,
                                 velcomp::SettingsStore& settings, velcomp::Library& library) {
    const std::filesystem::path custom = work / "World" / "Custom";
    const std::filesystem::path source = work / "template";
    MakeTemplate(source);
    std::filesystem::create_directories(custom / "Scenery");
    int made = 0;
    int number = 1000000;  // the copies' numbers, far from the counter's
    std::printf("%-8s %14s %16s %18s %22s\n", "assets", "first (ms)", "later, median",
                "after 10 copied in", "list + read 10 (ms)");
    for (const int size : kTreeSizes) {
        for (; made < size; ++made) {
            MakeAsset(custom / kCategories[made % 5] / ("Asset " + std::to_string(made)), made + 1);
        }
        ForgetIndex(settings);
        // An author's tree was not made a moment ago: wait until no folder's time is so
        // recent that the index must look at it again.
        std::this_thread::sleep_for(std::chrono::milliseconds(2100));
        const std::string round = std::to_string(size);
        const double first = WriteOut(library, source, custom, "First " + round);
        std::vector<double> later;
        for (int i = 0; i < kLaterWriteOuts; ++i) {
            later.push_back(
                WriteOut(library, source, custom, "Later " + round + std::to_string(i)));
        }
        std::vector<int> copied;
        for (int i = 0; i < kCopiedIn; ++i, ++number) {
            MakeAsset(custom / "Flora" / ("Copied " + std::to_string(number)), number);
            copied.push_back(number);
        }
        const double afterCopy = WriteOut(library, source, custom, "Copy " + round);
        const double listAndRead = ListAndRead(custom / "Flora", copied);
        std::printf("%-8d %14.1f %16.1f %18.1f %22.1f\n", size, first, Median(later), afterCopy,
                    listAndRead);
    }
    TimeLookUps(custom / "Scenery");
    ForgetIndex(settings);
    std::filesystem::remove_all(work / "World");
}

}  // namespace bench

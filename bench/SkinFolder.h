// What both benchmarks share: the skin folder (500 files, 256 MiB in five subfolders, the
// same every time) and rounds that time the library against a plain copy of it.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "velcomp/Library.h"

namespace bench {

constexpr int kFiles = 500;
constexpr std::uintmax_t kTotalBytes = 256ull * 1024 * 1024;

// Writes the skin folder with a 1 MiB buffer of varied bytes.
inline void MakeSkinFolder(const std::filesystem::path& skin) {
    std::vector<char> block(std::size_t{1024} * 1024);
    std::uint32_t seed = 12345;
    for (char& byte : block) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<char>(seed >> 24);
    }
    const char* folders[] = {"body", "bogies", "cab", "decals", "textures"};
    std::uintmax_t left = kTotalBytes;
    for (int i = 0; i < kFiles; ++i) {
        const std::uintmax_t size = i == kFiles - 1 ? left : kTotalBytes / kFiles;
        left -= size;
        const auto file = skin / folders[i % 5] / ("part" + std::to_string(i) + ".bmp");
        std::filesystem::create_directories(file.parent_path());
        std::ofstream out(file, std::ios::binary);
        for (std::uintmax_t written = 0; written < size;) {
            const auto chunk = std::min<std::uintmax_t>(block.size(), size - written);
            out.write(block.data(), static_cast<std::streamsize>(chunk));
            written += chunk;
        }
    }
}

inline double Seconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

// One write-out of the skin folder by the library, as Kitwright makes it, in seconds.
inline double TimeLibrary(velcomp::Library& library, const std::filesystem::path& skin,
                          const std::filesystem::path& target) {
    const std::string source = (skin / "").string();
    const auto start = std::chrono::steady_clock::now();
    library.ClosePackage();
    library.CreatePackage("");
    library.SetStringData("description", "Benchmark skin");
    velcomp::Result result = library.AddToPackage({source, "Skin", "Benchmark skin", std::nullopt});
    if (result) {
        result = library.ExtractFromPackage((target / "").string(), "Skin");
    }
    const double seconds = Seconds(std::chrono::steady_clock::now() - start);
    if (!result) {
        std::fprintf(stderr, "library failed: %s\n", result.message().c_str());
        std::exit(1);
    }
    return seconds;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Times a plain copy and the library `rounds` times each, alternating which goes first so
// that neither always meets a warmer cache, and prints each round and the medians; `tidy`
// runs after each round. The ratio is the median of the rounds' own ratios, as each
// round's two runs share the machine's state of the moment.
inline void CompareRounds(int rounds, const char* copyName, const std::function<double()>& copy,
                          const std::function<double()>& library, const std::function<void()>& tidy,
                          double aim) {
    std::vector<double> copyTimes;
    std::vector<double> libraryTimes;
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        if (round % 2 == 0) {
            copyTimes.push_back(copy());
            libraryTimes.push_back(library());
        } else {
            libraryTimes.push_back(library());
            copyTimes.push_back(copy());
        }
        ratios.push_back(libraryTimes.back() / copyTimes.back());
        std::printf("round %d: %s %.3f s, library %.3f s\n", round + 1, copyName, copyTimes.back(),
                    libraryTimes.back());
        tidy();
    }
    std::printf("median of %d rounds: %s %.3f s, library build + write-out %.3f s\n", rounds,
                copyName, Median(copyTimes), Median(libraryTimes));
    std::printf("ratio library / %s, median of the rounds' ratios: %.3f (aim <= %.2f)\n", copyName,
                Median(ratios), aim);
}

}  // namespace bench

// The cost of reading the asset numbers that a content tree already carries, which every
// write-out pays before it writes config.txt: a World\Custom tree of an author's 1,000
// assets, read a few times over.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/SkinFolder.h"
#include "velcomp/AssetNumbers.h"

namespace bench {

constexpr int kAssets = 1000;
constexpr int kScanRounds = 9;

// Each asset a folder with its config.txt, a mesh, and two textures in a folder of their own,
// spread over five categories.
inline void MakeContentTree(const std::filesystem::path& custom, std::int32_t creator) {
    const char* categories[] = {"Scenery", "Trains", "Track", "Flora", "Splines"};
    const std::string mesh(2048, 'm');
    const std::string texture(4096, 't');
    for (int asset = 0; asset < kAssets; ++asset) {
        const auto folder = custom / categories[asset % 5] / ("Asset " + std::to_string(asset));
        std::filesystem::create_directories(folder / "textures");
        std::ofstream(folder / "config.txt", std::ios::binary)
            << "kind = scenery\r\nmesh-table.default.mesh = main.obj\r\nkuid = <kuid:" << creator
            << ":" << asset + 1 << ">\r\nusername = \"Asset " << asset
            << "\"\r\ndescription = \"One of many\"\r\ncategory-class = BC\r\n";
        std::ofstream(folder / "main.obj", std::ios::binary) << mesh;
        std::ofstream(folder / "textures" / "wall.bmp", std::ios::binary) << texture;
        std::ofstream(folder / "textures" / "roof.bmp", std::ios::binary) << texture;
    }
}

// Prints each round's time to read every number in the tree, and their median.
inline void TimeNumberScan(const std::filesystem::path& work) {
    const std::filesystem::path custom = work / "World" / "Custom";
    constexpr std::int32_t kCreator = 4242;
    MakeContentTree(custom, kCreator);
    std::vector<double> times;
    std::size_t found = 0;
    for (int round = 0; round < kScanRounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        found = velcomp::NumbersInUse(custom, kCreator).size();
        times.push_back(Seconds(std::chrono::steady_clock::now() - start));
        std::printf("number scan round %d: %.1f ms\n", round + 1, times.back() * 1000);
    }
    std::printf(
        "asset numbers in use: %zu found among %d assets (6,000 entries) in %.1f ms, the median "
        "of %d rounds: what each write-out adds to find them\n",
        found, kAssets, Median(times) * 1000, kScanRounds);
    std::filesystem::remove_all(work / "World");
}

}  // namespace bench

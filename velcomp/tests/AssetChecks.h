// The library's two promises, checked on real folders: the author's files are never
// changed, and a folder holding config.txt is a complete asset.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "names/AssetName.h"
#include "velcomp/os/FileSystem.h"
#include "velcomp/tests/TestFolders.h"

namespace velcomp::test {

// Every entry below a folder: a file's content, or "<folder>" for a folder.
using Tree = std::map<std::string, std::string>;

inline constexpr char kFolderMark[] = "<folder>";

inline Tree Snapshot(const fs::path& root) {
    Tree tree;
    std::error_code error;
    for (fs::recursive_directory_iterator it(root, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().lexically_relative(root).generic_u8string();
        tree[name] = it->is_directory() ? std::string(kFolderMark) : ReadFile(it->path());
    }
    return tree;
}

// Snapshot through the library's own file calls, which take paths of any length.
inline Tree LongSnapshot(const fs::path& root, const fs::path& relative = {}) {
    Tree tree;
    std::vector<FolderEntry> entries;
    ListFolder(root / relative, entries);
    for (const FolderEntry& entry : entries) {
        const fs::path path = relative / entry.name;
        if (entry.info.kind == EntryKind::kFolder) {
            tree[path.generic_u8string()] = kFolderMark;
            tree.merge(LongSnapshot(root, path));
        } else {
            ReadSmallFile(root / path, std::uintmax_t{1} << 30, tree[path.generic_u8string()]);
        }
    }
    return tree;
}

// Removes a folder and everything below it through the library's own file calls, which
// take paths of any length.
inline void RemoveLongTree(const fs::path& path) {
    EntryInfo info;
    Inspect(path, info);
    if (info.kind == EntryKind::kFolder) {
        std::vector<FolderEntry> entries;
        ListFolder(path, entries);
        for (const FolderEntry& entry : entries) {
            RemoveLongTree(path / entry.name);
        }
    }
    RemoveEntry(path);
}

// The source's files, as a written asset must hold them (config.txt is made anew).
inline Tree SourceFiles(const fs::path& source) {
    Tree files = Snapshot(source);
    files.erase("config.txt");
    return files;
}

// Every entry the author had is still there, unchanged.
inline ::testing::AssertionResult AuthorsWorkKept(const Tree& authors, const fs::path& folder) {
    const Tree now = Snapshot(folder);
    for (const auto& [name, content] : authors) {
        const auto found = now.find(name);
        if (found == now.end()) {
            return ::testing::AssertionFailure() << "the author's " << name << " is gone";
        }
        if (found->second != content) {
            return ::testing::AssertionFailure() << "the author's " << name << " has changed";
        }
    }
    return ::testing::AssertionSuccess();
}

// With config.txt in the folder, every source file is there whole (or the author's own
// file of that name is); without it, nothing is promised beyond the author's files.
inline ::testing::AssertionResult CompleteIfConfigured(const Tree& source, const Tree& authors,
                                                       const fs::path& folder) {
    const Tree now = Snapshot(folder);
    if (now.count("config.txt") == 0) {
        return ::testing::AssertionSuccess();
    }
    for (const auto& [name, content] : source) {
        const auto found = now.find(name);
        const auto authorsOwn = authors.find(name);
        const std::string& expected = authorsOwn != authors.end() ? authorsOwn->second : content;
        if (found == now.end()) {
            return ::testing::AssertionFailure() << "config.txt is there but " << name << " is not";
        }
        if (found->second != expected) {
            return ::testing::AssertionFailure()
                   << "config.txt is there but " << name << " holds " << found->second.size()
                   << " bytes instead of " << expected.size();
        }
    }
    return ::testing::AssertionSuccess();
}

// The items named like the library's working items (staging folders, lock files) in a
// folder and below it, sorted.
inline std::vector<std::string> Leftovers(const fs::path& folder) {
    std::vector<std::string> found;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
        const std::string name = it->path().filename().u8string();
        for (const std::string suffix : {names::kStagingSuffix, names::kLockSuffix}) {
            if (name.size() > suffix.size() &&
                name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
                found.push_back(it->path().lexically_relative(folder).generic_u8string());
            }
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

// A source folder of `count` files in a few subfolders, of varied sizes up to `largest`
// bytes, with a config.txt; the same seed gives the same folder.
inline void MakeSourceFolder(const fs::path& source, int count, std::size_t largest,
                             unsigned seed) {
    std::mt19937 random(seed);
    const char* folders[] = {"body", "textures", "textures/detail", "sound"};
    WriteFile(source / "config.txt", "kind = scenery\r\nmesh = body/part0.bin\r\n");
    for (int i = 0; i < count; ++i) {
        const std::size_t size = random() % largest + 1;
        std::string content(size, '\0');
        for (char& byte : content) {
            byte = static_cast<char>(random());
        }
        WriteFile(source / folders[i % 4] / ("part" + std::to_string(i) + ".bin"), content);
    }
}

}  // namespace velcomp::test

// The current package: string data and the assets added to it, as lists of files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "velcomp/ConfigFile.h"
#include "velcomp/os/FileSystem.h"

namespace velcomp {

// The keys that config.txt gets from the library itself.
inline constexpr char kKuidKey[] = "kuid";
inline constexpr char kNameKey[] = "username";
inline constexpr char kDescriptionKey[] = "description";
inline constexpr char kClassKey[] = "category-class";

// Entries for config.txt, key and value, in the order in which they are to stand.
using ConfigEntries = std::vector<std::pair<std::string, std::string>>;

// A file of a source folder as the add found it.
struct SourceFile {
    std::filesystem::path path;  // relative to the source folder
    FileStamp stamp;             // so that the write-out can tell it has changed since
};

// A folder of a source folder as the add found it, so that the write-out can tell that it
// has been replaced since (by a link to somewhere else, say).
struct SourceFolder {
    std::filesystem::path path;  // relative to the source folder; empty for the folder itself
    EntryInfo info;
};

// An asset as the package holds it: where its files are, not what they contain.
struct Asset {
    std::string name;                   // as given: folders joined by backslashes
    std::filesystem::path source;       // the source folder
    std::vector<SourceFile> files;      // sorted by path, config.txt aside
    std::vector<SourceFolder> folders;  // the source folder and every folder in it
    ConfigFile sourceConfig;            // the source folder's own config.txt, if any
    ConfigEntries identity;             // kuid, name, description, class code
    std::int32_t creator = 0;           // the two numbers of the kuid
    std::int32_t number = 0;
};

// The source folder as a path to the folder itself, without a separator at its end.
std::filesystem::path SourceRoot(const std::filesystem::path& source);

class Package {
public:
    explicit Package(std::string name) : name_(std::move(name)) {}

    const std::string& name() const { return name_; }

    // Keys that cannot stand in config.txt are ignored.
    void SetString(std::string_view key, std::string_view value);
    // Adds the asset, replacing one of the same name.
    void Put(Asset asset);
    const Asset* Find(std::string_view assetName) const;

    // The asset's config.txt: its source's config.txt, then the package's strings, then
    // its identity, each overriding what came before.
    ConfigFile ConfigFor(const Asset& asset) const;

private:
    std::string name_;
    ConfigEntries strings_;
    std::vector<Asset> assets_;
};

}  // namespace velcomp

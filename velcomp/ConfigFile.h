// An asset's config.txt: ordered "key = value" entries and the comments between them.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "velcomp/Result.h"

namespace velcomp {

// The largest config.txt that the library reads.
inline constexpr std::uintmax_t kMaxConfigSize = std::uintmax_t{1024} * 1024;

// Whether a folder entry is an asset's config.txt, in the case Windows would take for it.
bool IsConfigFileName(const std::filesystem::path& name);

class ConfigFile {
public:
    // Keys are letters, digits, '-', '_' and '.'.
    static bool IsValidKey(std::string_view key);

    // Replaces this file's content with `text`; on failure the message names the line.
    Result Parse(std::string_view text);
    // Calls `visit` with the key and value of every line of `text` of the form key = value,
    // as files that other tools wrote may hold them: a value that Parse would refuse comes as
    // written, a key may come twice, and a line that is no entry is passed over.
    using EntryVisitor = std::function<void(std::string_view key, std::string_view value)>;
    static void VisitEntries(std::string_view text, const EntryVisitor& visit);

    // The text form, CR LF line ends; Parse of it gives back the same entries.
    std::string Format() const;

    // The value of `key`, or null when there is no such entry.
    const std::string* Find(std::string_view key) const;
    // Replaces the value of an existing entry in place, or appends a new entry.
    void Set(std::string_view key, std::string_view value);

    std::size_t EntryCount() const;

private:
    struct Line {
        bool isEntry;
        std::string key;    // entries only
        std::string value;  // an entry's value, or a comment or blank line as written
    };
    std::vector<Line> lines_;
};

// Reads and parses a config.txt of at most 1 MiB.
Result ReadConfigFile(const std::filesystem::path& file, ConfigFile& config);

}  // namespace velcomp

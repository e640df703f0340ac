#include "velcomp/AssetNumbers.h"

#include <charconv>
#include <string>
#include <string_view>
#include <vector>

#include "contract/PackageFiles.h"
#include "velcomp/os/FileSystem.h"

namespace fs = std::filesystem;

namespace velcomp {
namespace {

constexpr std::uintmax_t kMaxConfigSize = std::uintmax_t{1024} * 1024;

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view Trim(std::string_view text) {
    const std::size_t start = text.find_first_not_of(" \t\r\"");
    if (start == text.npos) {
        return {};
    }
    return text.substr(start, text.find_last_not_of(" \t\r\"") + 1 - start);
}

// Reads "<number>:" or "<number>>" at the front of `text`.
bool TakeNumber(std::string_view& text, std::int64_t& number) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end == text.data() + text.size() || (*end != ':' && *end != '>')) {
        return false;
    }
    text.remove_prefix(static_cast<std::size_t>(end - text.data()) + 1);
    return true;
}

// The creator and number of a value such as <kuid:424242:17> or <kuid2:424242:17:1>.
bool ParseKuid(std::string_view value, std::int64_t& creator, std::int64_t& number) {
    for (const std::string_view start : {"<kuid:", "<kuid2:"}) {
        if (value.size() > start.size() && SameIgnoringCase(value.substr(0, start.size()), start)) {
            value.remove_prefix(start.size());
            return TakeNumber(value, creator) && TakeNumber(value, number);
        }
    }
    return false;
}

// Adds the numbers of `creator` in the kuid lines of one config.txt.
void AddNumbers(std::string_view text, std::int32_t creator, std::set<std::int32_t>& numbers) {
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        const std::size_t equals = line.find('=');
        std::int64_t owner = 0;
        std::int64_t number = 0;
        if (equals != line.npos && SameIgnoringCase(Trim(line.substr(0, equals)), "kuid") &&
            ParseKuid(Trim(line.substr(equals + 1)), owner, number) && owner == creator &&
            number >= 0 && number <= INT32_MAX) {
            numbers.insert(static_cast<std::int32_t>(number));
        }
    }
}

bool IsConfigFile(const fs::path& name) {
    return SameIgnoringCase(name.u8string(), contract::kConfigFileName);
}

void Walk(const fs::path& folder, std::int32_t creator, std::set<std::int32_t>& numbers) {
    std::vector<FolderEntry> entries;
    ListFolder(folder, entries);
    for (const FolderEntry& entry : entries) {
        std::string text;
        if (entry.info.kind == EntryKind::kFolder) {
            Walk(folder / entry.name, creator, numbers);
        } else if (entry.info.kind == EntryKind::kFile && IsConfigFile(entry.name) &&
                   !ReadSmallFile(folder / entry.name, kMaxConfigSize, text)) {
            AddNumbers(text, creator, numbers);
        }
    }
}

}  // namespace

fs::path ContentTree(const fs::path& destination) {
    for (fs::path at = destination; at.has_relative_path(); at = at.parent_path()) {
        const fs::path parent = at.parent_path();
        if (at.has_filename() && SameEntryName(at.filename(), "Custom") &&
            SameEntryName(parent.filename(), "World")) {
            return at;
        }
        if (parent == at) {
            break;
        }
    }
    return destination;
}

std::set<std::int32_t> NumbersInUse(const fs::path& tree, std::int32_t creator) {
    std::set<std::int32_t> numbers;
    Walk(tree, creator, numbers);
    return numbers;
}

}  // namespace velcomp

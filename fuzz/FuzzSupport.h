// Shared by the fuzz targets: how a broken promise is reported, and the keys of formatted
// config.txt text.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz {

inline void PrintBytes(const char* label, std::string_view bytes) {
    std::fprintf(stderr, "%s (%zu bytes):", label, bytes.size());
    for (const char c : bytes) {
        std::fprintf(stderr, " %02X", static_cast<unsigned char>(c));
    }
    std::fprintf(stderr, "\n");
}

// Shows the input and stops, so that libFuzzer keeps it as a crash file and the run fails.
inline void Check(bool holds, const char* promise, std::string_view input) {
    if (holds) {
        return;
    }
    std::fprintf(stderr, "MISMATCH: %s\n", promise);
    PrintBytes("input", input);
    std::abort();
}

// The keys of text that ConfigFile::Format wrote, in order. Format puts an entry's key at the
// start of its line; comment and blank lines start with a blank or '#', or are empty.
inline std::vector<std::string> FormattedKeys(std::string_view text) {
    std::vector<std::string> keys;
    while (!text.empty()) {
        const std::size_t end = text.find("\r\n");
        const std::string_view line = text.substr(0, end);
        text.remove_prefix(end == text.npos ? text.size() : end + 2);
        if (!line.empty() && line[0] != ' ' && line[0] != '\t' && line[0] != '#') {
            keys.emplace_back(line.substr(0, line.find(" = ")));
        }
    }
    return keys;
}

}  // namespace fuzz

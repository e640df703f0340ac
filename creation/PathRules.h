// Paths that Windows accepts, and names that keep an asset inside its category folder.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kitwright {

// The longest path, in characters, that Windows accepts without special prefixes.
inline constexpr std::size_t kMaxPathLength = 259;

// False for a name that is empty, rooted, a drive or network path, or that holds a
// segment of dots and spaces only (".", "..", " "), which would resolve elsewhere.
bool StaysInsideFolder(std::string_view name);

inline bool FitsWindowsPath(const std::string& path) {
    return path.size() <= kMaxPathLength;
}

}  // namespace kitwright

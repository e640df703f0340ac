// The longest path that Windows accepts without special prefixes.
#pragma once

#include <cstddef>
#include <string>

namespace kitwright {

// In characters, the terminator aside.
inline constexpr std::size_t kMaxPathLength = 259;

inline bool FitsWindowsPath(const std::string& path) {
    return path.size() <= kMaxPathLength;
}

}  // namespace kitwright

// What Kitwright and any content-package library agree on besides the calls: the size of the
// buffer for a failed add's message, and the file by which an asset folder is known to hold
// a complete asset. Portable, so that the program's core and the library's can both use it.
#pragma once

#include <cstddef>

namespace contract {

// The buffer that AddToPackageSpecial fills with its message on failure, terminator included.
inline constexpr std::size_t kErrorTextSize = 256;

// An asset folder holds a complete asset once this file is in it.
inline constexpr char kConfigFileName[] = "config.txt";

}  // namespace contract

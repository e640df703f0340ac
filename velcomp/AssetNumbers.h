// The asset numbers that assets already carry, so that none is handed out twice: the
// counter lives in one user's settings, and another PC, another account or a reinstalled
// system starts it again at 1.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>

namespace velcomp {

// The host's tree of custom content that `destination` lies in (the World\Custom folder
// above it), or the destination itself when it lies in none.
std::filesystem::path ContentTree(const std::filesystem::path& destination);

// The numbers that the assets of `creator` carry below `tree`: the kuid entries of every
// config.txt there, links not followed. What cannot be read is passed over.
std::set<std::int32_t> NumbersInUse(const std::filesystem::path& tree, std::int32_t creator);

}  // namespace velcomp

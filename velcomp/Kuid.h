// An asset's identity as config.txt and the author write it: <kuid:CREATOR:NUMBER>.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace velcomp {

// The creator identifier and, for an asset's own kuid, its number.
struct Kuid {
    std::int64_t creator = 0;
    std::optional<std::int64_t> number;
};

// The kuid that the library writes for a new asset: <kuid:CREATOR:NUMBER>.
std::string KuidText(std::int32_t creator, std::int32_t number);

// Reads kuid:CREATOR, kuid:CREATOR:NUMBER or kuid2:CREATOR:NUMBER:VERSION, in angle brackets
// or without them, the tag in any case, and nothing else around it; whole numbers only,
// a creator's possibly negative (the host's own content has such).
std::optional<Kuid> ReadKuid(std::string_view text);

}  // namespace velcomp

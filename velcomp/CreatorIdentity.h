// The author's creator identifier (KUID).
#pragma once

#include <cstdint>

#include "velcomp/Result.h"
#include "velcomp/SettingsStore.h"

namespace velcomp {

inline constexpr char kCreatorKuidValue[] = "CreatorKUID";

// The configured identifier, read afresh; 0 when none is set or the stored value is not
// a positive 32-bit number.
std::int32_t ReadCreatorKuid(SettingsStore& settings);
std::int32_t ReadCreatorKuid();

// The identifier under which a new asset is made; a failure says why there is none: none
// is set, or the stored value cannot be read or is not a positive number.
Result CreatorKuidForNewAsset(SettingsStore& settings, std::int32_t& kuid);

// Stores a new identifier; only positive numbers are accepted.
Result SetCreatorKuid(SettingsStore& settings, std::int32_t kuid);
Result SetCreatorKuid(std::int32_t kuid);

}  // namespace velcomp

// The author's creator identifier (KUID) and the asset numbers handed out under it.
#pragma once

#include <cstdint>
#include <set>

#include "velcomp/Result.h"
#include "velcomp/SettingsStore.h"

namespace velcomp {

inline constexpr char kCreatorKuidValue[] = "CreatorKUID";
inline constexpr char kNextAssetNumberValue[] = "NextAssetNumber";

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

// Hands out the next asset number, never the same one twice, even to several processes.
Result TakeAssetNumber(SettingsStore& settings, std::int32_t& number);

// Keeps `number` when no asset carries it yet (`inUse` lacks it), or hands out a new one
// above every number in use; either way the counter moves past them all.
Result SettleAssetNumber(SettingsStore& settings, const std::set<std::int32_t>& inUse,
                         std::int32_t& number);

}  // namespace velcomp

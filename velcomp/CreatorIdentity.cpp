#include "velcomp/CreatorIdentity.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

namespace velcomp {
namespace {

constexpr std::uint32_t kLargestNumber = std::numeric_limits<std::int32_t>::max();

std::string ValueName(const char* value, SettingsStore& settings) {
    return std::string(value) + " in " + settings.Where();
}

}  // namespace

std::int32_t ReadCreatorKuid(SettingsStore& settings) {
    const std::optional<std::uint32_t> kuid = StoredNumber(settings.Read(kCreatorKuidValue));
    return kuid && *kuid >= 1 && *kuid <= kLargestNumber ? static_cast<std::int32_t>(*kuid) : 0;
}

std::int32_t ReadCreatorKuid() {
    return ReadCreatorKuid(*OpenUserSettings());
}

Result CreatorKuidForNewAsset(SettingsStore& settings, std::int32_t& kuid) {
    const StoredValue stored = settings.Read(kCreatorKuidValue);
    if (stored.kind == StoredValue::Kind::kAbsent) {
        return Result::Failure(
            "No creator identifier is set. Set one with Nameplate.exe, then try again.");
    }
    if (stored.kind == StoredValue::Kind::kUnreadable) {
        return Result::Failure("The creator identifier (" + ValueName(kCreatorKuidValue, settings) +
                               ") cannot be read (" + stored.reason + ").");
    }
    kuid = ReadCreatorKuid(settings);
    if (kuid == 0) {
        return Result::Failure("The stored creator identifier (" +
                               ValueName(kCreatorKuidValue, settings) +
                               ") is not a positive whole number. Set it again with "
                               "Nameplate.exe, then try again.");
    }
    return Result::Success();
}

Result SetCreatorKuid(SettingsStore& settings, std::int32_t kuid) {
    if (kuid <= 0) {
        return Result::Failure("A creator identifier is a whole number from 1 to " +
                               std::to_string(kLargestNumber) + ".");
    }
    return settings.WriteNumber(kCreatorKuidValue, static_cast<std::uint32_t>(kuid));
}

Result SetCreatorKuid(std::int32_t kuid) {
    return SetCreatorKuid(*OpenUserSettings(), kuid);
}

}  // namespace velcomp

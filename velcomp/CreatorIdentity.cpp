#include "velcomp/CreatorIdentity.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string>

namespace velcomp {
namespace {

constexpr std::uint32_t kLargestNumber = std::numeric_limits<std::int32_t>::max();

// The number a well-formed value holds; nothing for an absent or malformed one.
std::optional<std::uint32_t> NumberIn(const StoredValue& value) {
    if (value.kind != StoredValue::Kind::kNumber || value.bytes.size() != 4) {
        return std::nullopt;
    }
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) {
        number = number << 8 | static_cast<unsigned char>(value.bytes[i]);
    }
    return number;
}

std::string ValueName(const char* value, SettingsStore& settings) {
    return std::string(value) + " in " + settings.Where();
}

// The counter as stored: 1 when absent; a failure, with its reason, when it cannot be read
// or could hand out a number already used.
Result ReadCounter(SettingsStore& settings, std::uint32_t& next) {
    const StoredValue stored = settings.Read(kNextAssetNumberValue);
    if (stored.kind == StoredValue::Kind::kUnreadable) {
        return Result::Failure("The asset counter (" + ValueName(kNextAssetNumberValue, settings) +
                               ") cannot be read (" + stored.reason +
                               "), so no asset number was given.");
    }
    const std::optional<std::uint32_t> number =
        stored.kind == StoredValue::Kind::kAbsent ? 1 : NumberIn(stored);
    if (!number || *number < 1 || *number > kLargestNumber) {
        return Result::Failure("The stored asset counter (" +
                               ValueName(kNextAssetNumberValue, settings) +
                               ") is damaged, so no new asset number can be given safely.");
    }
    next = *number;
    return Result::Success();
}

Result AllNumbersUsed() {
    return Result::Failure("Every asset number has been used.");
}

}  // namespace

std::int32_t ReadCreatorKuid(SettingsStore& settings) {
    const std::optional<std::uint32_t> kuid = NumberIn(settings.Read(kCreatorKuidValue));
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

Result TakeAssetNumber(SettingsStore& settings, std::int32_t& number) {
    return settings.Exclusively([&settings, &number]() {
        std::uint32_t next = 0;
        Result read = ReadCounter(settings, next);
        if (!read) {
            return read;
        }
        if (next == kLargestNumber) {
            return AllNumbersUsed();
        }
        Result written = settings.WriteNumber(kNextAssetNumberValue, next + 1);
        if (written) {
            number = static_cast<std::int32_t>(next);
        }
        return written;
    });
}

Result SettleAssetNumber(SettingsStore& settings, const std::set<std::int32_t>& inUse,
                         std::int32_t& number) {
    if (inUse.empty() || *inUse.rbegin() < number) {
        return Result::Success();  // the counter, past `number`, is past them all already
    }
    const auto highest = static_cast<std::uint32_t>(*inUse.rbegin());
    return settings.Exclusively([&settings, &inUse, &number, highest]() {
        std::uint32_t next = 0;
        Result read = ReadCounter(settings, next);
        if (!read) {
            return read;
        }
        const std::uint32_t free = std::max(next, highest + 1);
        const bool taken = inUse.count(number) > 0;
        const std::uint32_t after = taken ? free + 1 : free;
        if (after > kLargestNumber) {
            return AllNumbersUsed();
        }
        Result written =
            after == next ? Result::Success() : settings.WriteNumber(kNextAssetNumberValue, after);
        if (written && taken) {
            number = static_cast<std::int32_t>(free);
        }
        return written;
    });
}

}  // namespace velcomp

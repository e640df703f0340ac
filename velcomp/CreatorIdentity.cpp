#include "velcomp/CreatorIdentity.h"

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

Result DamagedCounter() {
    return Result::Failure(std::string("The stored asset counter (") + kNextAssetNumberValue +
                           ") is damaged, so no new asset number can be given safely.");
}

}  // namespace

std::int32_t ReadCreatorKuid(SettingsStore& settings) {
    const std::optional<std::uint32_t> kuid = NumberIn(settings.Read(kCreatorKuidValue));
    return kuid && *kuid >= 1 && *kuid <= kLargestNumber ? static_cast<std::int32_t>(*kuid) : 0;
}

std::int32_t ReadCreatorKuid() {
    return ReadCreatorKuid(*OpenUserSettings());
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
        const StoredValue stored = settings.Read(kNextAssetNumberValue);
        const std::optional<std::uint32_t> next =
            stored.kind == StoredValue::Kind::kAbsent ? 1 : NumberIn(stored);
        // A damaged counter could hand out a number already used: refuse rather than guess.
        if (!next || *next < 1 || *next > kLargestNumber) {
            return DamagedCounter();
        }
        if (*next == kLargestNumber) {
            return Result::Failure("Every asset number has been used.");
        }
        Result written = settings.WriteNumber(kNextAssetNumberValue, *next + 1);
        if (written) {
            number = static_cast<std::int32_t>(*next);
        }
        return written;
    });
}

}  // namespace velcomp

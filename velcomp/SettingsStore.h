// Where the author's content settings live: the registry on Windows, a folder natively.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "velcomp/Result.h"

namespace velcomp {

// A stored value as found, so that callers can refuse one of the wrong type or size.
struct StoredValue {
    enum class Kind { kAbsent, kNumber, kOther, kUnreadable };
    Kind kind = Kind::kAbsent;  // kNumber is a 32-bit number (REG_DWORD), of any size
    std::string bytes;          // the data as stored, little-endian for a number
    std::string reason;         // why an unreadable value could not be read
};

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Where the settings are, for messages: a registry key or a folder.
    virtual std::string Where() const = 0;
    virtual StoredValue Read(const std::string& name) = 0;
    virtual Result WriteNumber(const std::string& name, std::uint32_t value) = 0;
    // Runs `action` while no other store on the same settings, in any process, runs one.
    virtual Result Exclusively(const std::function<Result()>& action) = 0;
    // The folder for what the library keeps beside the settings for this user, too large
    // for a setting (the index of the asset numbers); empty where there is none.
    virtual std::filesystem::path StateFolder() const { return {}; }
};

// The number a well-formed 32-bit number value holds; nothing for an absent or other one.
inline std::optional<std::uint32_t> StoredNumber(const StoredValue& value) {
    if (value.kind != StoredValue::Kind::kNumber || value.bytes.size() != 4) {
        return std::nullopt;
    }
    std::uint32_t number = 0;
    for (int i = 3; i >= 0; --i) {
        number = number << 8 | static_cast<unsigned char>(value.bytes[i]);
    }
    return number;
}

// The current user's settings: HKEY_CURRENT_USER\Software\Railvane\Content on Windows.
std::unique_ptr<SettingsStore> OpenUserSettings();

}  // namespace velcomp

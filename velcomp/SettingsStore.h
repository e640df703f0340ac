// Where the author's content settings live: the registry on Windows, a folder natively.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
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
};

// The current user's settings: HKEY_CURRENT_USER\Software\Railvane\Content on Windows.
std::unique_ptr<SettingsStore> OpenUserSettings();

}  // namespace velcomp

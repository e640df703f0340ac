// Windows settings: values of one key under HKEY_CURRENT_USER.
#pragma once

#include <string>

#include "velcomp/SettingsStore.h"

namespace velcomp {

inline constexpr char kContentSettingsKey[] = "Software\\Railvane\\Content";

class RegistrySettingsStore : public SettingsStore {
public:
    explicit RegistrySettingsStore(std::string subKey = kContentSettingsKey);

    std::string Where() const override;
    StoredValue Read(const std::string& name) override;
    Result WriteNumber(const std::string& name, std::uint32_t value) override;
    // Serialised by a named mutex of the session, one per key.
    Result Exclusively(const std::function<Result()>& action) override;
    // The user's local application data, and in it the key's path less "Software":
    // %LOCALAPPDATA%\Railvane\Content for the author's own settings.
    std::filesystem::path StateFolder() const override;

private:
    std::string subKey_;
};

}  // namespace velcomp

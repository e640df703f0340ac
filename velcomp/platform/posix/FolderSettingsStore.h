// Native settings: one small file per value in a folder that the caller chooses.
#pragma once

#include <filesystem>

#include "velcomp/SettingsStore.h"

namespace velcomp {

class FolderSettingsStore : public SettingsStore {
public:
    explicit FolderSettingsStore(std::filesystem::path folder);

    StoredValue Read(const std::string& name) override;
    Result WriteNumber(const std::string& name, std::uint32_t value) override;
    Result Exclusively(const std::function<Result()>& action) override;

    // Stores raw data of either kind, as another program might have left it.
    Result WriteRaw(const std::string& name, bool isNumber, const std::string& bytes);

private:
    std::filesystem::path folder_;
};

}  // namespace velcomp

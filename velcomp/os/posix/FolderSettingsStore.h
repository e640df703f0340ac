// Native settings: one small file per value in a folder that the caller chooses.
#pragma once

#include <chrono>
#include <filesystem>

#include "velcomp/SettingsStore.h"

namespace velcomp {

class FolderSettingsStore : public SettingsStore {
public:
    // `lockWait` bounds how long Exclusively waits for another holder of the lock.
    explicit FolderSettingsStore(std::filesystem::path folder,
                                 std::chrono::milliseconds lockWait = std::chrono::seconds(10));

    std::string Where() const override { return folder_.string(); }
    StoredValue Read(const std::string& name) override;
    Result WriteNumber(const std::string& name, std::uint32_t value) override;
    Result Exclusively(const std::function<Result()>& action) override;
    std::filesystem::path StateFolder() const override { return folder_ / "state"; }

    // Stores raw data of either kind, as another program might have left it. First removes
    // the temporary files of this value that processes which no longer exist left behind.
    Result WriteRaw(const std::string& name, bool isNumber, const std::string& bytes);

private:
    std::filesystem::path folder_;
    std::chrono::milliseconds lockWait_;
};

}  // namespace velcomp

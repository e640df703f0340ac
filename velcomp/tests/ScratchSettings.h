// Settings in a place of the test's own: a temporary folder natively, a scratch registry
// key under HKEY_CURRENT_USER on Windows.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "velcomp/SettingsStore.h"

#ifdef _WIN32
#include <windows.h>

#include "velcomp/os/win32/RegistrySettingsStore.h"
#else
#include "velcomp/os/posix/FolderSettingsStore.h"
#include "velcomp/tests/TestFolders.h"
#endif

namespace velcomp::test {

class ScratchSettings {
public:
#ifdef _WIN32
    ScratchSettings()
        : key_("Software\\Kitwright Tests\\velcomp " + std::to_string(GetCurrentProcessId()) + " " +
               std::to_string(next_++)) {}
    ~ScratchSettings() {
        std::error_code ignored;
        const std::filesystem::path state = RegistrySettingsStore(key_).StateFolder();
        std::filesystem::remove_all(state, ignored);
        std::filesystem::remove(state.parent_path(), ignored);  // once it is empty
        RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str());         // holds values only, no subkeys
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Kitwright Tests");  // once it is empty
    }

    std::unique_ptr<SettingsStore> Open() const {
        return std::make_unique<RegistrySettingsStore>(key_);
    }
    // Where they are, for another process: the key under HKEY_CURRENT_USER.
    std::string Location() const {
        return key_;
    }
    // Stores data as another program could: a REG_DWORD, or REG_BINARY data.
    void WriteRaw(const std::string& name, bool isNumber, const std::string& bytes) const {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr);
        RegSetValueExA(key, name.c_str(), 0, isNumber ? REG_DWORD : REG_BINARY,
                       reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
    }

private:
    static inline unsigned next_ = 0;
    std::string key_;
#else
    std::unique_ptr<SettingsStore> Open() const {
        return std::make_unique<FolderSettingsStore>(folder_.path());
    }
    // Where they are, for another process: the folder.
    std::string Location() const {
        return folder_.path().string();
    }
    void WriteRaw(const std::string& name, bool isNumber, const std::string& bytes) const {
        FolderSettingsStore(folder_.path()).WriteRaw(name, isNumber, bytes);
    }

private:
    TempFolder folder_;
#endif
};

}  // namespace velcomp::test

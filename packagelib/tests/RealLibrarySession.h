// Create run in this process against the real velCompDLL.dll and the real Windows
// services, with what would block or open a window (message boxes, launches) recorded.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "codepage/CodePage.h"
#include "creation/CreateAsset.h"
#include "creation/Locations.h"
#include "packagelib/DllPackageLibrary.h"
#include "platform/win32/Win32Platform.h"

namespace kitwright::testing {

class QuietWin32Platform : public Win32Platform {
public:
    std::vector<std::string> messages;
    std::vector<std::string> launches;

    // Kept in the code page, as the tests compare them with 8-bit texts.
    void ShowMessage(const std::wstring& text) override {
        messages.push_back(codepage::Narrow(text));
    }
    void Launch(const std::string& program, const std::string& parameters) override {
        launches.push_back(program + " " + parameters);
    }
};

// The Name and Description given in the code page, read as the dialog reads its fields.
class FixedForm : public CreationForm {
public:
    FixedForm(std::string label, std::string name, std::string description)
        : label_(std::move(label)), name_(std::move(name)), description_(std::move(description)) {}
    std::string SelectedClassLabel() override { return label_; }
    std::wstring NameText() override { return Win32Platform().WideText(name_); }
    std::wstring DescriptionText() override { return Win32Platform().WideText(description_); }
    void ReturnToName() override {}

private:
    std::string label_;
    std::string name_;
    std::string description_;
};

// Sets an App Paths "Path" and a creator identifier for the test, and puts back what the
// prefix had before.
class RegisteredHost {
public:
    explicit RegisteredHost(const std::string& root) {
        Save(HKEY_CURRENT_USER, kContentKey, "CreatorKUID", hadKuid_, kuid_);
        Set(HKEY_LOCAL_MACHINE, kInstallKey, kPathValue, REG_SZ, root.c_str(),
            static_cast<DWORD>(root.size() + 1));
        const DWORD kuid = 414243;
        Set(HKEY_CURRENT_USER, kContentKey, "CreatorKUID", REG_DWORD, &kuid, sizeof kuid);
    }
    ~RegisteredHost() {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kInstallKey);
        if (hadKuid_) {
            Set(HKEY_CURRENT_USER, kContentKey, "CreatorKUID", REG_DWORD, &kuid_, sizeof kuid_);
        }
    }
    RegisteredHost(const RegisteredHost&) = delete;
    RegisteredHost& operator=(const RegisteredHost&) = delete;

private:
    static constexpr char kContentKey[] = "Software\\Railvane\\Content";

    static void Set(HKEY root, const char* subKey, const char* name, DWORD type, const void* data,
                    DWORD size) {
        HKEY key = nullptr;
        RegCreateKeyExA(root, subKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
        RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
    static void Save(HKEY root, const char* subKey, const char* name, bool& had, DWORD& value) {
        HKEY key = nullptr;
        DWORD size = sizeof value;
        had = RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS &&
              RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                               &size) == ERROR_SUCCESS;
        if (key != nullptr) {
            RegCloseKey(key);
        }
    }

    bool hadKuid_ = false;
    DWORD kuid_ = 0;
};

inline bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace kitwright::testing

#include "velcomp/os/win32/RegistrySettingsStore.h"

#include <windows.h>

#include <algorithm>
#include <system_error>

#include "velcomp/os/FileSystem.h"

namespace velcomp {
namespace {

constexpr DWORD kLockTimeoutMs = 10000;

std::string KeyText(const std::string& subKey) {
    return "HKEY_CURRENT_USER\\" + subKey;
}

// The system's words for a registry error.
std::string Reason(LONG status) {
    return DescribeError(std::error_code(static_cast<int>(status), std::system_category()));
}

// Closes a registry key when it goes out of scope.
class KeyHandle {
public:
    KeyHandle() = default;
    ~KeyHandle() {
        if (key_ != nullptr) {
            RegCloseKey(key_);
        }
    }
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

class MutexOwnership {
public:
    explicit MutexOwnership(const std::string& name)
        : mutex_(CreateMutexA(nullptr, FALSE, name.c_str())) {
        if (mutex_ != nullptr) {
            const DWORD wait = WaitForSingleObject(mutex_, kLockTimeoutMs);
            // An abandoned mutex is ours now; registry writes are whole, so nothing is torn.
            owned_ = wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
        }
    }
    ~MutexOwnership() {
        if (owned_) {
            ReleaseMutex(mutex_);
        }
        if (mutex_ != nullptr) {
            CloseHandle(mutex_);
        }
    }
    MutexOwnership(const MutexOwnership&) = delete;
    MutexOwnership& operator=(const MutexOwnership&) = delete;
    bool owned() const { return owned_; }

private:
    HANDLE mutex_;
    bool owned_ = false;
};

}  // namespace

RegistrySettingsStore::RegistrySettingsStore(std::string subKey) : subKey_(std::move(subKey)) {}

std::string RegistrySettingsStore::Where() const {
    return KeyText(subKey_);
}

StoredValue RegistrySettingsStore::Read(const std::string& name) {
    KeyHandle key;
    LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, subKey_.c_str(), 0, KEY_QUERY_VALUE, key.out());
    if (status == ERROR_FILE_NOT_FOUND) {
        return {};
    }
    if (status != ERROR_SUCCESS) {
        return {StoredValue::Kind::kUnreadable, {}, Reason(status)};
    }
    BYTE data[64] = {};
    DWORD type = REG_NONE;
    DWORD size = sizeof data;
    status = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, data, &size);
    if (status == ERROR_FILE_NOT_FOUND) {
        return {};
    }
    if (status == ERROR_MORE_DATA) {
        return {StoredValue::Kind::kOther, {}, {}};  // far too large for anything we keep
    }
    if (status != ERROR_SUCCESS) {
        return {StoredValue::Kind::kUnreadable, {}, Reason(status)};
    }
    const auto kind = type == REG_DWORD ? StoredValue::Kind::kNumber : StoredValue::Kind::kOther;
    return {kind, std::string(reinterpret_cast<const char*>(data), size), {}};
}

Result RegistrySettingsStore::WriteNumber(const std::string& name, std::uint32_t value) {
    KeyHandle key;
    LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, subKey_.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, key.out(), nullptr);
    if (status == ERROR_SUCCESS) {
        const DWORD data = value;
        status = RegSetValueExA(key.get(), name.c_str(), 0, REG_DWORD,
                                reinterpret_cast<const BYTE*>(&data), sizeof data);
    }
    if (status != ERROR_SUCCESS) {
        return Result::Failure("The setting " + name + " could not be saved in " +
                               KeyText(subKey_) + " (" + Reason(status) + ").");
    }
    return Result::Success();
}

Result RegistrySettingsStore::Exclusively(const std::function<Result()>& action) {
    std::string name = "Local\\velcomp " + subKey_;
    std::replace(name.begin() + 6, name.end(), '\\', '/');  // only the namespace takes one
    const MutexOwnership lock(name);
    if (!lock.owned()) {
        return Result::Failure("Another program keeps the settings in " + KeyText(subKey_) +
                               " busy; please try again.");
    }
    return action();
}

std::filesystem::path RegistrySettingsStore::StateFolder() const {
    wchar_t local[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", local, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return {};
    }
    std::string below = subKey_;
    constexpr std::string_view kSoftware = "Software\\";
    if (below.size() > kSoftware.size() &&
        CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, below.c_str(),
                       static_cast<int>(kSoftware.size()), kSoftware.data(),
                       static_cast<int>(kSoftware.size())) == CSTR_EQUAL) {
        below.erase(0, kSoftware.size());
    }
    return std::filesystem::path(local) / PathFromText(below);
}

std::unique_ptr<SettingsStore> OpenUserSettings() {
    return std::make_unique<RegistrySettingsStore>();
}

}  // namespace velcomp

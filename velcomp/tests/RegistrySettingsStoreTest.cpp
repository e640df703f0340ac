#include "velcomp/os/win32/RegistrySettingsStore.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "velcomp/CreatorIdentity.h"
#include "velcomp/tests/ScratchSettings.h"

namespace velcomp {
namespace {

// Keeps the author's real identifier safe while a test changes it.
class SavedCreatorKuid {
public:
    SavedCreatorKuid() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kContentSettingsKey, 0, KEY_QUERY_VALUE, &key) ==
            ERROR_SUCCESS) {
            DWORD size = sizeof data_;
            had_ = RegQueryValueExA(key, kCreatorKuidValue, nullptr, &type_, data_, &size) ==
                   ERROR_SUCCESS;
            size_ = size;
            RegCloseKey(key);
        }
    }
    ~SavedCreatorKuid() {
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CURRENT_USER, kContentSettingsKey, 0, nullptr, 0, KEY_SET_VALUE,
                        nullptr, &key, nullptr);
        if (had_) {
            RegSetValueExA(key, kCreatorKuidValue, 0, type_, data_, size_);
        } else {
            RegDeleteValueA(key, kCreatorKuidValue);
        }
        RegCloseKey(key);
    }

private:
    bool had_ = false;
    DWORD type_ = REG_NONE;
    BYTE data_[64] = {};
    DWORD size_ = 0;
};

DWORD QueryCreatorKuid(DWORD& type) {
    DWORD value = 0;
    DWORD size = sizeof value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kContentSettingsKey, 0, KEY_QUERY_VALUE, &key) ==
        ERROR_SUCCESS) {
        RegQueryValueExA(key, kCreatorKuidValue, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                         &size);
        RegCloseKey(key);
    }
    return value;
}

TEST(RegistrySettingsStoreTest, UserSettingsAreTheRailvaneContentKey) {
    const SavedCreatorKuid saved;
    ASSERT_TRUE(SetCreatorKuid(31337).ok());
    DWORD type = REG_NONE;
    EXPECT_EQ(QueryCreatorKuid(type), 31337u);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(ReadCreatorKuid(), 31337);
    EXPECT_FALSE(SetCreatorKuid(-1).ok());
    EXPECT_EQ(ReadCreatorKuid(), 31337);
}

TEST(RegistrySettingsStoreTest, TellsRegistryTypesApart) {
    test::ScratchSettings scratch;
    const auto store = scratch.Open();
    EXPECT_EQ(store->Read("CreatorKUID").kind, StoredValue::Kind::kAbsent);
    scratch.WriteRaw("CreatorKUID", false, "1234");
    EXPECT_EQ(store->Read("CreatorKUID").kind, StoredValue::Kind::kOther);
    ASSERT_TRUE(store->WriteNumber("CreatorKUID", 7).ok());
    const StoredValue number = store->Read("CreatorKUID");
    EXPECT_EQ(number.kind, StoredValue::Kind::kNumber);
    EXPECT_EQ(number.bytes, std::string("\x07\x00\x00\x00", 4));
    scratch.WriteRaw("CreatorKUID", true, std::string(200, 'x'));
    EXPECT_EQ(store->Read("CreatorKUID").kind, StoredValue::Kind::kOther);
}

}  // namespace
}  // namespace velcomp

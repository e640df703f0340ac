// Loads velCompDLL.dll as a program would and creates a real asset through its exports.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "contract/velCompDLL.h"
#include "velcomp/ConfigFile.h"
#include "velcomp/tests/TestFolders.h"

namespace velcomp {
namespace {

constexpr char kContentKey[] = "Software\\Railvane\\Content";

// The calls as the contract declares them, found by name as a program would.
struct Exports {
    decltype(&::InitVEL) InitVEL;
    decltype(&::GetMyKUID) GetMyKUID;
    decltype(&::ClosePackage) ClosePackage;
    decltype(&::CreatePackage) CreatePackage;
    decltype(&::SetStringData) SetStringData;
    decltype(&::AddToPackageSpecial) AddToPackageSpecial;
    decltype(&::ExtractFromPackage) ExtractFromPackage;
    decltype(&::GetLastPackageError) GetLastPackageError;
    decltype(&::GetLastPackageNote) GetLastPackageNote;
};

template <class Function>
void Find(HMODULE dll, const char* name, Function& function) {
    function = reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
    ASSERT_NE(function, nullptr) << name;
}

void SetCreatorKuid(DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kContentKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "CreatorKUID", 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void SetCreatorKuid(DWORD kuid) {
    SetCreatorKuid(REG_DWORD, &kuid, sizeof kuid);
}

// Reads a file through the ANSI API, as the program names files.
std::string ReadAnsiFile(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    std::string text;
    if (file == INVALID_HANDLE_VALUE) {
        return text;
    }
    char buffer[4096];
    DWORD count = 0;
    while (ReadFile(file, buffer, sizeof buffer, &count, nullptr) && count > 0) {
        text.append(buffer, count);
    }
    CloseHandle(file);
    return text;
}

class ExportsTest : public ::testing::Test {
protected:
    void SetUp() override {
        dll_ = LoadLibraryA("velCompDLL.dll");
        ASSERT_NE(dll_, nullptr);
        Find(dll_, "InitVEL", api_.InitVEL);
        Find(dll_, "GetMyKUID", api_.GetMyKUID);
        Find(dll_, "ClosePackage", api_.ClosePackage);
        Find(dll_, "CreatePackage", api_.CreatePackage);
        Find(dll_, "SetStringData", api_.SetStringData);
        Find(dll_, "AddToPackageSpecial", api_.AddToPackageSpecial);
        Find(dll_, "ExtractFromPackage", api_.ExtractFromPackage);
        Find(dll_, "GetLastPackageError", api_.GetLastPackageError);
        Find(dll_, "GetLastPackageNote", api_.GetLastPackageNote);
        SaveCreatorKuid();
    }
    void TearDown() override {
        if (hadKuid_) {
            SetCreatorKuid(savedType_, savedData_, savedSize_);
        } else {
            HKEY key = nullptr;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, kContentKey, 0, KEY_SET_VALUE, &key) == 0) {
                RegDeleteValueA(key, "CreatorKUID");
                RegCloseKey(key);
            }
        }
    }

    // The author's own identifier, put back after the test.
    void SaveCreatorKuid() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kContentKey, 0, KEY_QUERY_VALUE, &key) == 0) {
            savedSize_ = sizeof savedData_;
            hadKuid_ = RegQueryValueExA(key, "CreatorKUID", nullptr, &savedType_, savedData_,
                                        &savedSize_) == ERROR_SUCCESS;
            RegCloseKey(key);
        }
    }

    HMODULE dll_ = nullptr;
    Exports api_ = {};
    bool hadKuid_ = false;
    DWORD savedType_ = REG_NONE;
    BYTE savedData_[64] = {};
    DWORD savedSize_ = 0;
};

TEST_F(ExportsTest, CallsWithoutInitOrPackageFailCleanly) {
    char error[contract::kErrorTextSize] = {};
    api_.ClosePackage();
    api_.SetStringData("description", "x");
    EXPECT_FALSE(api_.AddToPackageSpecial("C:\\", "Shop", "x", nullptr, error));
    EXPECT_STREQ(error, "There is no open package to add the asset to.");
    api_.ExtractFromPackage("C:\\", "Shop");
    EXPECT_EQ(GetFileAttributesA("C:\\Shop"), INVALID_FILE_ATTRIBUTES);
    api_.CreatePackage(nullptr);
    api_.SetStringData(nullptr, nullptr);
    EXPECT_FALSE(api_.AddToPackageSpecial(nullptr, nullptr, nullptr, nullptr, error));
    EXPECT_STREQ(error, "No source folder was given.");
    api_.ExtractFromPackage(nullptr, nullptr);
}

TEST_F(ExportsTest, CreatorIdentifierIsReadFromTheRegistryAtEveryCall) {
    api_.InitVEL();
    SetCreatorKuid(5150);
    EXPECT_EQ(api_.GetMyKUID(), 5150);
    SetCreatorKuid(6160);
    EXPECT_EQ(api_.GetMyKUID(), 6160);
    SetCreatorKuid(REG_SZ, "6160", 5);
    EXPECT_EQ(api_.GetMyKUID(), 0);
    const WORD shortValue = 7;
    SetCreatorKuid(REG_DWORD, &shortValue, sizeof shortValue);
    EXPECT_EQ(api_.GetMyKUID(), 0);
}

TEST_F(ExportsTest, CreatesARealAssetWithItsConfig) {
    test::TempFolder source;
    test::TempFolder destination;
    test::WriteFile(source.path() / "config.txt", "kind = scenery\r\n");
    test::WriteFile(source.path() / "main.obj", "o box\n");
    const std::string description = "Caf\xE9 \x80 \"corner\"\r\nC:\\ok\\";
    // 0x80 is the euro sign in code page 1252 but U+0080 to a converter that ignores it.
    const std::string name = "Caf\xE9 \x80\\Shop";
    SetCreatorKuid(5150);

    api_.InitVEL();
    ASSERT_EQ(api_.GetMyKUID(), 5150);
    api_.ClosePackage();
    api_.CreatePackage("");
    api_.SetStringData("description", description.c_str());
    char error[contract::kErrorTextSize] = {};
    ASSERT_TRUE(api_.AddToPackageSpecial(source.Text().c_str(), name.c_str(), description.c_str(),
                                         "BC", error))
        << error;
    EXPECT_STREQ(error, "");
    api_.ExtractFromPackage(destination.Text().c_str(), name.c_str());

    const std::string asset = destination.Text() + name + "\\";
    EXPECT_EQ(ReadAnsiFile(asset + "main.obj"), "o box\n");
    ConfigFile config;
    ASSERT_TRUE(config.Parse(ReadAnsiFile(asset + "config.txt")).ok());
    ASSERT_NE(config.Find("kuid"), nullptr);
    EXPECT_EQ(config.Find("kuid")->rfind("<kuid:5150:", 0), 0u);
    EXPECT_EQ(*config.Find("kind"), "scenery");
    EXPECT_EQ(*config.Find("username"), "Shop");
    EXPECT_EQ(*config.Find("description"), description);
    EXPECT_EQ(*config.Find("category-class"), "BC");
    // A plain write-out leaves the author nothing to know.
    char note[16] = "#";
    api_.GetLastPackageNote(note, sizeof note);
    EXPECT_STREQ(note, "");
}

TEST_F(ExportsTest, TheLastPackageErrorSaysWhyTheWriteOutFailed) {
    test::TempFolder source;
    test::TempFolder destination;
    test::WriteFile(source.path() / "main.obj", "o box\n");
    test::WriteFile(destination.path() / "Shop" / "config.txt", "kind = mine\r\n");
    SetCreatorKuid(5150);
    char text[256];
    api_.CreatePackage("");
    api_.GetLastPackageError(text, sizeof text);
    EXPECT_STREQ(text, "");

    char error[contract::kErrorTextSize] = {};
    ASSERT_TRUE(api_.AddToPackageSpecial(source.Text().c_str(), "Shop", "", "BC", error)) << error;
    api_.ExtractFromPackage(destination.Text().c_str(), "Shop");
    api_.GetLastPackageError(text, sizeof text);
    const std::string expected = "Asset already exists, please use another name. It is in \"" +
                                 destination.Text() + "Shop\".";
    EXPECT_EQ(text, expected);
    std::memset(text, '#', sizeof text);
    api_.GetLastPackageError(text, 9);
    EXPECT_STREQ(text, expected.substr(0, 8).c_str());
    EXPECT_EQ(text[9], '#');
    api_.GetLastPackageError(text, 0);
    EXPECT_EQ(text[0], 'A');
}

TEST_F(ExportsTest, ErrorTextNeverOverrunsItsBuffer) {
    char error[300];
    std::memset(error, '#', sizeof error);
    const std::string source = "C:\\" + std::string(600, 'x') + "\\";
    api_.CreatePackage("");
    EXPECT_FALSE(api_.AddToPackageSpecial(source.c_str(), std::string(600, 'n').append("|").c_str(),
                                          "", nullptr, error));
    EXPECT_LE(std::strlen(error), 255u);
    EXPECT_NE(std::string(error).find("the character |"), std::string::npos) << error;
    EXPECT_EQ(error[256], '#');
}

}  // namespace
}  // namespace velcomp

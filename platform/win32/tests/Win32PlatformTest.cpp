#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

#include "creation/Locations.h"
#include "framework/WinApp.h"

namespace kitwright {
namespace {

constexpr char kTestKey[] = "SOFTWARE\\KitwrightTests\\Values";

std::string NewTempFolder() {
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    const std::string folder = std::string(base) + "kw-platform-" +
                               std::to_string(GetCurrentProcessId()) + "-" +
                               std::to_string(GetTickCount());
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void SetMachineValue(const char* subKey, const char* name, DWORD type, const std::string& data) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

class Win32PlatformTest : public ::testing::Test {
protected:
    void TearDown() override {
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kTestKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kInstallKey);
    }

    bool Read(const char* name, std::string& data) {
        return platform.ReadMachineValue(kTestKey, name, data);
    }

    Win32Platform platform;
};

TEST_F(Win32PlatformTest, RegistryDataArrivesAsStored) {
    SetMachineValue(kTestKey, "Path", REG_SZ, std::string("C:\\Sim\\", 8));
    SetMachineValue(kTestKey, "Number", REG_DWORD, std::string("\x07\0\0\0", 4));
    // Stored raw, so nothing adds a terminator on the way in.
    SetMachineValue(kTestKey, "Full", REG_BINARY, std::string(260, 'a'));
    std::string data;
    ASSERT_TRUE(Read("Path", data));
    EXPECT_EQ(data, std::string("C:\\Sim\\", 8));
    ASSERT_TRUE(Read("Number", data));
    EXPECT_EQ(data, std::string("\x07\0\0\0", 4));
    ASSERT_TRUE(Read("Full", data));
    EXPECT_EQ(data, std::string(260, 'a'));
}

TEST_F(Win32PlatformTest, MissingOrOversizedValuesAreNotRead) {
    SetMachineValue(kTestKey, "Long", REG_SZ, std::string(300, 'a') + '\0');
    std::string data = "untouched";
    EXPECT_FALSE(Read("Long", data));
    EXPECT_FALSE(Read("Absent", data));
    EXPECT_FALSE(platform.ReadMachineValue("SOFTWARE\\KitwrightTests\\NoSuchKey", "Path", data));
    EXPECT_EQ(data, "untouched");
}

TEST_F(Win32PlatformTest, InstallPathComesFromTheHostsAppPathsEntry) {
    SetMachineValue(kInstallKey, "Path", REG_SZ, std::string("C:\\Sim\\\0", 8));
    PathBuffer buffer = {};
    GetInstallPath(platform, buffer);
    EXPECT_STREQ(buffer, "C:\\Sim");

    SetMachineValue(kInstallKey, "Path", REG_BINARY, std::string(260, 'x'));  // no room for a NUL
    PathBuffer cleared = {};
    GetInstallPath(platform, cleared);
    EXPECT_STREQ(cleared, "");
}

TEST_F(Win32PlatformTest, ExistenceTestMatchesTheExactPathOnly) {
    const std::string folder = NewTempFolder();
    CreateDirectoryA((folder + "\\Shop").c_str(), nullptr);
    WriteFile(folder + "\\Shop\\config.txt", "x");
    EXPECT_TRUE(platform.PathExists(folder + "\\Shop"));
    EXPECT_TRUE(platform.PathExists(folder + "\\Shop\\config.txt"));
    EXPECT_FALSE(platform.PathExists(folder + "\\Sh*\\config.txt"));
    EXPECT_FALSE(platform.PathExists(folder + "\\Sho?\\config.txt"));
    EXPECT_FALSE(platform.PathExists(folder + "\\*"));
    EXPECT_FALSE(platform.PathExists(folder + "\\Other\\config.txt"));
}

TEST_F(Win32PlatformTest, AShortNameIsToldFromTheNameAFolderIsStoredUnder) {
    const std::string folder = NewTempFolder();
    const std::string authors = folder + "\\Shopping Centre WIP";
    CreateDirectoryA(authors.c_str(), nullptr);
    char shortPath[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameA(authors.c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_NE(std::string(shortPath), authors);
    EXPECT_EQ(platform.StoredNameIfOther(shortPath), "Shopping Centre WIP");
    EXPECT_EQ(platform.StoredNameIfOther(authors), "");
    EXPECT_EQ(platform.StoredNameIfOther(folder + "\\SHOPPING CENTRE wip"), "");  // case alone
    EXPECT_EQ(platform.StoredNameIfOther(folder + "\\Shop*"), "");
    EXPECT_EQ(platform.StoredNameIfOther(folder + "\\Missing"), "");
}

// The tests run in code page 1252 (the code-page 932 case has a test program of its own).
TEST_F(Win32PlatformTest, TextsAreReadInTheAnsiCodePage) {
    ASSERT_EQ(GetACP(), 1252u);
    EXPECT_EQ(platform.WideText("Caf\xE9 \x80"), L"Caf\u00E9 \u20AC");
    EXPECT_FALSE(platform.IsLeadByte(0x83));
    EXPECT_EQ(platform.WideText(""), L"");
}

TEST_F(Win32PlatformTest, CopyReplacesAnExistingFile) {
    const std::string folder = NewTempFolder();
    WriteFile(folder + "\\main.bmp", "new picture");
    WriteFile(folder + "\\target.bmp", "old picture, longer");
    platform.CopyFileReplacing(folder + "\\main.bmp", folder + "\\target.bmp");
    EXPECT_EQ(ReadFile(folder + "\\target.bmp"), "new picture");
}

// Launches the probe and lets it go only after Launch has returned.
std::string LaunchProbe(Win32Platform& platform, const std::string& program,
                        const std::string& parameters) {
    const std::string log = NewTempFolder() + "\\probe.log";
    const std::string eventName = "KitwrightProbe" + std::to_string(GetTickCount());
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    SetEnvironmentVariableA("KITWRIGHT_PROBE_LOG", log.c_str());
    SetEnvironmentVariableA("KITWRIGHT_PROBE_EVENT", eventName.c_str());
    platform.Launch(program, parameters);
    SetEvent(event);
    for (int i = 0; i < 200 && GetFileAttributesA(log.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
        Sleep(50);
    }
    CloseHandle(event);
    return ReadFile(log);
}

TEST_F(Win32PlatformTest, LaunchFindsAProgramBesideTheCallerAndDoesNotWait) {
    EXPECT_EQ(LaunchProbe(platform, "launch_probe.exe", "/e,C:\\Sim\\World\\Custom\\Scenery\\Shop"),
              "/e,C:\\Sim\\World\\Custom\\Scenery\\Shop\nreleased\n");
    EXPECT_EQ(LaunchProbe(platform, "launch_probe.exe", ""), "\nreleased\n");
}

TEST_F(Win32PlatformTest, ProgramFileNameAndApplicationName) {
    const std::string path = platform.ProgramFileName();
    ASSERT_GT(path.size(), 4u);
    EXPECT_EQ(path.substr(path.size() - 25), "\\platform_win32_tests.exe");
    EXPECT_EQ(framework::AfxAppName(), "platform_win32_tests");
}

// Finds the box captioned with the application's name, reads it and presses OK.
struct BoxSeen {
    std::string text;
    HWND owner = nullptr;
};

void AnswerMessageBox(BoxSeen& seen, std::atomic<bool>& done) {
    for (int i = 0; i < 200 && !done; ++i) {
        HWND box = FindWindowA("#32770", framework::AfxAppName().c_str());
        if (box != nullptr) {
            char text[512] = {};
            SendMessageA(GetDlgItem(box, 0xFFFF), WM_GETTEXT, sizeof text,
                         reinterpret_cast<LPARAM>(text));
            seen.text = text;
            seen.owner = GetWindow(box, GW_OWNER);
            PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
            return;
        }
        Sleep(50);
    }
}

TEST_F(Win32PlatformTest, MessageBoxIsOwnedByTheDialogAndCaptionedWithTheAppName) {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    framework::CWnd ownerWnd;
    platform.SetOwner(ownerWnd);  // named before it is attached, as the start-up does
    ownerWnd.Attach(owner);
    BoxSeen seen;
    std::atomic<bool> done{false};
    std::thread answer(AnswerMessageBox, std::ref(seen), std::ref(done));
    platform.ShowMessage(L"Asset already exists, please use another name.");
    done = true;
    answer.join();
    DestroyWindow(owner);
    EXPECT_EQ(seen.text, "Asset already exists, please use another name.");
    EXPECT_EQ(seen.owner, owner);
}

}  // namespace
}  // namespace kitwright

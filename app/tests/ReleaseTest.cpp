// The release as an author meets it: the zip unpacked in a fresh prefix, Railvane and
// Livery Loft registered, the identifier set through Nameplate's own window, a template
// asset and a repaint made with the real programs and the real library.
// Run by scripts/release-test.sh, which unpacks the zip and names its folder in
// KITWRIGHT_RELEASE.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "app/tests/KitwrightSession.h"
#include "catalogue/ClassTable.h"
#include "creation/Locations.h"
#include "res/resource.h"
// Nameplate's ids after Kitwright's: it defines IDC_STATIC only when none is.
#include "nameplate/resource.h"
#include "version.h"

namespace kitwright::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

constexpr char kKuid[] = "523456";
constexpr char kLoft[] = "C:\\LiveryLoft";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

void SetPath(const char* key, const std::string& folder) {
    HKEY handle = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &handle,
                    nullptr);
    RegSetValueExA(handle, kPathValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>(folder.size() + 1));
    RegCloseKey(handle);
}

// Livery Loft with one stock model, gp38: its train folder and its preview.
void InstallLiveryLoft() {
    for (const char* folder : {"", "\\skins", "\\skins\\gp38", "\\skins\\gp38\\train"}) {
        CreateDirectoryA((std::string(kLoft) + folder).c_str(), nullptr);
    }
    const std::string train = std::string(kLoft) + "\\skins\\gp38\\train\\";
    WriteFile(train + "config.txt", "kind = traincar\r\nmesh = body.obj\r\n");
    WriteFile(train + "body.obj", "o gp38\n");
    WriteFile(std::string(kLoft) + "\\skins\\gp38\\main.bmp", "BM gp38 preview");
    SetPath("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Railvane Livery Loft.exe",
            kLoft);
}

struct Found {
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectNameplate(HWND window, LPARAM lParam) {
    char caption[64] = {};
    GetWindowTextA(window, caption, sizeof caption);
    if (IsWindowVisible(window) && std::string(caption) == "Nameplate") {
        reinterpret_cast<Found*>(lParam)->windows.push_back(window);  // NOLINT
    }
    return TRUE;
}

// A visible window of Nameplate's, told apart by one of its controls.
HWND NameplateWindow(int control) {
    HWND window = nullptr;
    WaitUntil([&] {
        Found found;
        EnumWindows(CollectNameplate, reinterpret_cast<LPARAM>(&found));
        for (HWND candidate : found.windows) {
            if (GetDlgItem(candidate, control) != nullptr) {
                window = candidate;
            }
        }
        return window != nullptr;
    });
    return window;
}

// Types the identifier into Nameplate, saves it and closes its confirmation.
void SaveIdentifierInNameplate() {
    HWND nameplate = NameplateWindow(IDC_KUID);
    ASSERT_NE(nameplate, nullptr) << "Nameplate.exe did not open beside Kitwright";
    const DialogDriver dialog(nameplate);
    dialog.Type(IDC_KUID, std::string("kuid:") + kKuid);
    dialog.Click(IDOK);
    HWND saved = NameplateWindow(0xFFFF);
    ASSERT_NE(saved, nullptr) << "Nameplate did not confirm the save";
    EXPECT_THAT(MessageBoxText(saved), HasSubstr(kKuid));
    PostMessageA(GetDlgItem(saved, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(nameplate); }));
}

// Fills the form and presses Create.
void Create(const DialogDriver& dialog, int row, const std::string& name) {
    dialog.SelectClass(row);
    dialog.Clear(IDC_NAME);
    dialog.Type(IDC_NAME, name);
    dialog.Clear(IDC_DESCRIPTION);
    dialog.Type(IDC_DESCRIPTION, "Made by the release test");
    dialog.Click(IDOK);
}

// config.txt as "key = value" lines.
std::string ConfigValue(const std::string& config, const std::string& key) {
    std::istringstream lines(config);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key + " = ", 0) == 0) {
            std::string value = line.substr(key.size() + 3);
            if (!value.empty() && value.back() == '\r') {
                value.pop_back();
            }
            return value;
        }
    }
    return "<missing>";
}

class Release : public ::testing::Test {
protected:
    void SetUp() override {
        const char* folder = std::getenv("KITWRIGHT_RELEASE");
        ASSERT_NE(folder, nullptr) << "run by scripts/release-test.sh";
        release_ = folder;
        InstallLiveryLoft();
    }

    SessionOptions Options() const {
        SessionOptions options;
        options.releaseFolder = release_;
        options.hostRoot = "C:\\Railvane";
        return options;
    }

    std::string release_;
};

TEST_F(Release, AnAuthorSetsTheIdentifierAndMakesATemplateAssetAndARepaint) {
    KitwrightSession first(Options());
    CreateDirectoryA(first.HostRoot().c_str(), nullptr);
    HWND window = first.WaitForWindow(KITWRIGHT_DIALOG_CAPTION);
    ASSERT_NE(window, nullptr);
    SaveIdentifierInNameplate();

    const DialogDriver dialog(window);
    Create(dialog, FindClassRow("BC Commercial"), "Corner Shop");
    ASSERT_TRUE(first.WaitForExit()) << "Kitwright did not end after a successful Create";
    const std::string shop = first.HostRoot() + "\\World\\Custom\\Scenery\\Corner Shop";
    first.WaitForLaunchedPrograms();
    EXPECT_THAT(first.Launches(), ElementsAre("explorer.exe /e," + shop));
    const std::string config = ReadFile(shop + "\\config.txt");
    EXPECT_EQ(ConfigValue(config, "kuid"), std::string("<kuid:") + kKuid + ":1>");
    EXPECT_EQ(ConfigValue(config, "username"), "\"Corner Shop\"");
    EXPECT_EQ(ConfigValue(config, "category-class"), "BC");
    EXPECT_EQ(ReadFile(shop + "\\main.obj"),
              ReadFile(release_ + "\\templates\\std_scenery\\main.obj"));
    EXPECT_FALSE(ReadFile(shop + "\\main.mtl").empty());
    EXPECT_THAT(config, HasSubstr("kind = scenery\r\n"));

    // The same name again is refused and the dialog stays; a repaint then goes through.
    KitwrightSession second(Options());
    window = second.WaitForWindow(KITWRIGHT_DIALOG_CAPTION);
    ASSERT_NE(window, nullptr);
    const DialogDriver again(window);
    Create(again, FindClassRow("BC Commercial"), "Corner Shop");
    HWND box = second.WaitForWindow("Kitwright");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Asset already exists, please use another name.");
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(IsWindowVisible(window));

    Create(again, FindClassRow("RESKIN gp38"), "Blue GP38");
    ASSERT_TRUE(second.WaitForExit());
    const std::string blue = second.HostRoot() + "\\World\\Custom\\Trains\\Blue GP38";
    second.WaitForLaunchedPrograms();
    EXPECT_THAT(second.Launches(), ElementsAre("explorer.exe /e," + blue));
    const std::string repaint = ReadFile(blue + "\\config.txt");
    EXPECT_EQ(ConfigValue(repaint, "kind"), "traincar");
    EXPECT_EQ(ConfigValue(repaint, "kuid"), std::string("<kuid:") + kKuid + ":2>");
    EXPECT_EQ(ConfigValue(repaint, "category-class"), "<missing>");
    EXPECT_EQ(ReadFile(blue + "\\body.obj"), "o gp38\n");
    EXPECT_EQ(ReadFile(blue + "\\main.bmp"), "BM gp38 preview");
}

}  // namespace
}  // namespace kitwright::testing

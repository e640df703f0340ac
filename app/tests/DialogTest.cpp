// The creation dialog, driven through its controls' messages in the running program.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "app/tests/KitwrightSession.h"
#include "catalogue/ClassTable.h"
#include "res/resource.h"

namespace kitwright::testing {
namespace {

using ::testing::ElementsAre;

constexpr char kDialogCaption[] = "Kitwright (v1.0 build 24)";

class CreationDialog : public ::testing::Test {
protected:
    void Open(SessionOptions options = {}) {
        kitwright = std::make_unique<KitwrightSession>(options);
        HWND window = kitwright->WaitForWindow(kDialogCaption);
        ASSERT_NE(window, nullptr);
        dialog = std::make_unique<DialogDriver>(window);
    }

    // Library calls that the dialog's opening makes when an identifier is set.
    static std::vector<std::string> OpeningCalls() { return {"InitVEL", "GetMyKUID"}; }

    std::unique_ptr<KitwrightSession> kitwright;
    std::unique_ptr<DialogDriver> dialog;
};

TEST_F(CreationDialog, TemplateFollowsTheSelectionAndNothingElseDoes) {
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(dialog->Text(IDC_TEMPLATE), "std_scenery");
    dialog->Type(IDC_NAME, "Shop");
    dialog->Type(IDC_DESCRIPTION, "A shop");

    dialog->SelectClass(FindClassRow("TR Rails"));
    EXPECT_EQ(dialog->Text(IDC_TEMPLATE), "railspline");
    dialog->SelectClass(FindClassRow("RESKIN f7"));
    EXPECT_EQ(dialog->Text(IDC_TEMPLATE), "liveryloft_reskin");
    // The list's own notification, from the keyboard.
    dialog->FocusOn(IDC_CLASS);
    dialog->PressKey(VK_HOME);
    EXPECT_TRUE(WaitUntil([this] { return dialog->Text(IDC_TEMPLATE) == "std_scenery"; }));

    EXPECT_EQ(dialog->Text(IDC_NAME), "Shop");
    EXPECT_EQ(dialog->Text(IDC_DESCRIPTION), "A shop");
}

TEST_F(CreationDialog, CreateIsEnabledOnlyWhileNameAndDescriptionBothHoldText) {
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_FALSE(dialog->IsEnabled(IDOK));
    dialog->Type(IDC_NAME, "Shop");
    EXPECT_FALSE(dialog->IsEnabled(IDOK));
    dialog->Type(IDC_DESCRIPTION, "x");
    EXPECT_TRUE(dialog->IsEnabled(IDOK));
    dialog->Clear(IDC_NAME);
    EXPECT_FALSE(dialog->IsEnabled(IDOK));
    dialog->Type(IDC_NAME, "Shop");
    EXPECT_TRUE(dialog->IsEnabled(IDOK));
    dialog->Clear(IDC_DESCRIPTION);
    EXPECT_FALSE(dialog->IsEnabled(IDOK));

    dialog->Type(IDC_DESCRIPTION, "   ");
    EXPECT_TRUE(dialog->IsEnabled(IDOK)) << "spaces are text";
    dialog->Clear(IDC_DESCRIPTION);
    dialog->Type(IDC_DESCRIPTION, "\r");
    EXPECT_EQ(dialog->Text(IDC_DESCRIPTION), "\r\n");
    EXPECT_TRUE(dialog->IsEnabled(IDOK)) << "a lone line break is text";
}

TEST_F(CreationDialog, EnterInTheDescriptionInsertsALineBreakAndNeverPressesCreate) {
    ASSERT_NO_FATAL_FAILURE(Open());
    dialog->Type(IDC_NAME, "Shop");
    dialog->Type(IDC_DESCRIPTION, "One");
    ASSERT_TRUE(dialog->IsEnabled(IDOK));
    dialog->FocusOn(IDC_DESCRIPTION);
    SendMessageA(dialog->Control(IDC_DESCRIPTION), EM_SETSEL, 3, 3);
    dialog->PressKey(VK_RETURN);
    dialog->Settle();
    EXPECT_TRUE(WaitUntil([this] { return dialog->Text(IDC_DESCRIPTION) == "One\r\n"; }))
        << dialog->Text(IDC_DESCRIPTION);
    EXPECT_TRUE(IsWindowVisible(dialog->Window()));
    EXPECT_EQ(kitwright->LibraryCalls(), OpeningCalls());
}

TEST_F(CreationDialog, EnterAnywhereNeverRunsCreateWhileItIsDisabled) {
    ASSERT_NO_FATAL_FAILURE(Open());
    dialog->Type(IDC_NAME, "Shop");
    ASSERT_FALSE(dialog->IsEnabled(IDOK));
    for (int id : {IDC_TEMPLATE, IDC_NAME, IDC_CLASS}) {
        dialog->FocusOn(id);
        dialog->PressKey(VK_RETURN);
        dialog->Settle();
    }
    // What the dialog manager sends for Enter, whatever the button's state.
    SendMessageA(dialog->Window(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(dialog->Control(IDOK)));
    EXPECT_TRUE(IsWindowVisible(dialog->Window()));
    EXPECT_EQ(kitwright->LibraryCalls(), OpeningCalls());
}

TEST_F(CreationDialog, FocusStartsOnCloseAndTabVisitsTheFieldsThenTheClassList) {
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_TRUE(WaitUntil([this] { return dialog->FocusedControl() == IDCANCEL; }))
        << "focus is on " << dialog->FocusedControl();
    for (int next : {IDC_TEMPLATE, IDC_NAME, IDC_DESCRIPTION, IDC_CLASS, IDCANCEL}) {
        dialog->PressKey(VK_TAB);
        EXPECT_TRUE(WaitUntil([&] { return dialog->FocusedControl() == next; }))
            << "expected " << next << ", focus is on " << dialog->FocusedControl();
    }
}

TEST_F(CreationDialog, ClassListHoldsEveryRowInOrderWithItsPicture) {
    ASSERT_NO_FATAL_FAILURE(Open());
    const std::vector<ClassItem> items = dialog->ClassItems();
    ASSERT_EQ(items.size(), kClassCount);
    for (int row = 0; row < static_cast<int>(kClassCount); ++row) {
        EXPECT_EQ(items[row].text, RowLabel(row));
        EXPECT_EQ(items[row].image, RowImage(row)) << RowLabel(row);
        EXPECT_EQ(items[row].selectedImage, RowImage(row)) << RowLabel(row);
    }
    EXPECT_EQ(items.back().text, "RESKIN vrs");
}

class WithoutCreatorIdentifier : public CreationDialog,
                                 public ::testing::WithParamInterface<const char*> {};

TEST_P(WithoutCreatorIdentifier, IdentityToolIsLaunchedAtOpeningAndAtEachCreate) {
    ASSERT_NO_FATAL_FAILURE(Open({Host::kRegistered, GetParam()}));
    kitwright->WaitForLaunchedPrograms();
    EXPECT_THAT(kitwright->Launches(), ElementsAre("Nameplate.exe"));

    dialog->Type(IDC_NAME, "Shop");
    dialog->Type(IDC_DESCRIPTION, "A shop");
    for (std::size_t presses = 1; presses <= 2; ++presses) {
        dialog->Click(IDOK);
        EXPECT_TRUE(WaitUntil([&] { return kitwright->Launches().size() == presses + 1; }));
    }
    EXPECT_EQ(dialog->Text(IDC_NAME), "Shop");
    EXPECT_EQ(dialog->Text(IDC_DESCRIPTION), "A shop");

    dialog->Click(IDCANCEL);
    ASSERT_TRUE(kitwright->WaitForExit());
    kitwright->WaitForLaunchedPrograms();
    EXPECT_THAT(kitwright->Launches(),
                ElementsAre("Nameplate.exe", "Nameplate.exe", "Nameplate.exe"));
    EXPECT_THAT(kitwright->LibraryCalls(),
                ElementsAre("InitVEL", "GetMyKUID", "GetMyKUID", "GetMyKUID"));
}

INSTANTIATE_TEST_SUITE_P(ZeroOrMinusOne, WithoutCreatorIdentifier, ::testing::Values("0", "-1"));

TEST_F(CreationDialog, CreateHandsTheFormToTheLibraryOpensTheAssetAndEnds) {
    ASSERT_NO_FATAL_FAILURE(Open());
    dialog->SelectClass(FindClassRow("SR Roads"));
    dialog->Type(IDC_NAME, "Lane");
    dialog->Type(IDC_DESCRIPTION, "Two\rlines");
    dialog->Click(IDOK);
    ASSERT_TRUE(kitwright->WaitForExit());

    const std::string destination = kitwright->HostRoot() + "\\World\\Custom\\Splines\\";
    const std::string source = kitwright->Folder() + "\\templates\\meshspline\\";
    EXPECT_THAT(kitwright->LibraryCalls(),
                ElementsAre("InitVEL", "GetMyKUID", "GetMyKUID", "ClosePackage", "CreatePackage []",
                            "SetStringData [description] [Two\\r\\nlines]",
                            "AddToPackageSpecial [" + source + "] [Lane] [Two\\r\\nlines] [SR]",
                            "ExtractFromPackage [" + destination + "] [Lane]"));
    kitwright->WaitForLaunchedPrograms();
    EXPECT_THAT(kitwright->Launches(), ElementsAre("explorer.exe /e," + destination + "Lane"));
}

TEST_F(CreationDialog, AnExistingAssetIsReportedInABoxOfTheDialogsAndTheDialogStaysOpen) {
    ASSERT_NO_FATAL_FAILURE(Open());
    const std::string asset = kitwright->HostRoot() + "\\World\\Custom\\Scenery\\Shop";
    for (const char* folder : {"", "\\World", "\\World\\Custom", "\\World\\Custom\\Scenery",
                               "\\World\\Custom\\Scenery\\Shop"}) {
        CreateDirectoryA((kitwright->HostRoot() + folder).c_str(), nullptr);
    }
    CloseHandle(CreateFileA((asset + "\\config.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                            CREATE_ALWAYS, 0, nullptr));
    dialog->Type(IDC_NAME, "Shop");
    dialog->Type(IDC_DESCRIPTION, "A shop");
    dialog->Click(IDOK);

    HWND box = kitwright->WaitForWindow("Kitwright");
    ASSERT_NE(box, nullptr);
    char text[256] = {};
    SendMessageA(GetDlgItem(box, 0xFFFF), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, "Asset already exists, please use another name.");
    EXPECT_EQ(GetWindow(box, GW_OWNER), dialog->Window());
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));

    EXPECT_TRUE(IsWindowVisible(dialog->Window()));
    EXPECT_EQ(dialog->Text(IDC_NAME), "Shop");
    EXPECT_THAT(kitwright->LibraryCalls(), ElementsAre("InitVEL", "GetMyKUID", "GetMyKUID",
                                                       "ClosePackage", "CreatePackage []"));
}

// The class list's pictures sit on a nearly white background: pure white would vanish.
TEST(ClassPictures, AreSixteenPixelsSquareOnAVisibleLightBackground) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string program = std::string(path, std::strrchr(path, '\\')) + "\\Kitwright.exe";
    HMODULE kitwright = LoadLibraryExA(program.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(kitwright, nullptr);
    for (UINT id = IDB_HUMAN; id <= IDB_LOCOMOTIVE; ++id) {
        auto* picture = static_cast<HBITMAP>(
            LoadImageA(kitwright, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(picture, nullptr) << id;
        DIBSECTION dib = {};
        GetObjectA(picture, sizeof dib, &dib);
        EXPECT_EQ(dib.dsBm.bmWidth, 16) << id;
        EXPECT_EQ(dib.dsBm.bmHeight, 16) << id;
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, picture);
        const COLORREF corner = GetPixel(dc, 0, 0);
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(picture);
        EXPECT_NE(corner, RGB(255, 255, 255)) << id;
        EXPECT_GE(std::min({GetRValue(corner), GetGValue(corner), GetBValue(corner)}), 224) << id;
    }
    FreeLibrary(kitwright);
}

// For review by eye: the dialog filled in for a repaint, and the dropped class list at its
// top and further down, which between them show every picture that a row uses.
TEST_F(CreationDialog, ScreenshotsOfTheOpenDialogAreSaved) {
    ASSERT_NO_FATAL_FAILURE(Open());
    const std::string folder = KITWRIGHT_BUILD_DIR "/screenshots/";
    dialog->SelectClass(FindClassRow("RESKIN gp38"));
    dialog->Type(IDC_NAME, "Blue");
    dialog->Type(IDC_DESCRIPTION, "The gp38 in blue\rwith a yellow stripe");
    EXPECT_TRUE(SaveScreenshot(dialog->Window(), folder + "kitwright-dialog.png"));

    const std::pair<const char*, const char*> lists[] = {
        {"BC Commercial", "kitwright-class-list.png"},
        {"FT Trees", "kitwright-class-list-more.png"}};
    for (const auto& [first, file] : lists) {
        dialog->SelectClass(FindClassRow(first));
        SendMessageA(dialog->Control(IDC_CLASS), CB_SHOWDROPDOWN, TRUE, 0);
        EXPECT_TRUE(SaveScreenshot(dialog->Window(), folder + file));
        SendMessageA(dialog->Control(IDC_CLASS), CB_SHOWDROPDOWN, FALSE, 0);
    }
}

}  // namespace
}  // namespace kitwright::testing

// A Create in the running program: its message box, what reaches velCompDLL.dll through
// the program's bindings, and the explorer that it opens.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/tests/KitwrightSession.h"
#include "catalogue/ClassTable.h"
#include "res/resource.h"
#include "version.h"

namespace kitwright::testing {
namespace {

using ::testing::ElementsAre;

void CreateEmptyFile(const std::string& path) {
    CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

TEST(Create, ReportsAnExistingAssetInTheDialogsOwnBoxThenBuildsOpensTheAssetAndEnds) {
    KitwrightSession kitwright;
    HWND window = kitwright.WaitForWindow(KITWRIGHT_DIALOG_CAPTION);
    ASSERT_NE(window, nullptr);
    const DialogDriver dialog(window);
    for (const char* folder : {"", "\\World", "\\World\\Custom", "\\World\\Custom\\Scenery",
                               "\\World\\Custom\\Scenery\\Shop"}) {
        CreateDirectoryA((kitwright.HostRoot() + folder).c_str(), nullptr);
    }
    CreateEmptyFile(kitwright.HostRoot() + "\\World\\Custom\\Scenery\\Shop\\config.txt");
    dialog.Type(IDC_NAME, "Shop");
    dialog.Type(IDC_DESCRIPTION, "A shop");
    dialog.Click(IDOK);

    // Captioned with the program's name, owned by the dialog.
    HWND box = kitwright.WaitForWindow("Kitwright");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Asset already exists, please use another name.");
    EXPECT_EQ(GetWindow(box, GW_OWNER), window);
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(dialog.Text(IDC_NAME), "Shop");

    dialog.SelectClass(FindClassRow("SR Roads"));
    dialog.Clear(IDC_NAME);
    dialog.Type(IDC_NAME, "Lane");
    dialog.Clear(IDC_DESCRIPTION);
    dialog.Type(IDC_DESCRIPTION, "Two\rlines");
    dialog.Click(IDOK);
    ASSERT_TRUE(kitwright.WaitForExit());

    const std::string destination = kitwright.HostRoot() + "\\World\\Custom\\Splines\\";
    const std::string source = kitwright.Folder() + "\\templates\\meshspline\\";
    EXPECT_THAT(kitwright.LibraryCalls(),
                ElementsAre("InitVEL", "GetMyKUID", "GetMyKUID", "ClosePackage", "CreatePackage []",
                            "GetMyKUID", "ClosePackage", "CreatePackage []",
                            "SetStringData [description] [Two\\r\\nlines]",
                            "AddToPackageSpecial [" + source + "] [Lane] [Two\\r\\nlines] [SR]",
                            "ExtractFromPackage [" + destination + "] [Lane]"));
    kitwright.WaitForLaunchedPrograms();
    EXPECT_THAT(kitwright.Launches(), ElementsAre("explorer.exe /e," + destination + "Lane"));
}

// A library without GetLastPackageError, as the host's own is: the message stays as it
// was, without a reason, and the dialog stays open with the author's typing.
TEST(Create, AWriteOutWithoutConfigIsReportedWithoutAReasonFromALibraryThatHasNone) {
    SessionOptions options;
    options.libraryWrites = false;
    KitwrightSession kitwright(options);
    HWND window = kitwright.WaitForWindow(KITWRIGHT_DIALOG_CAPTION);
    ASSERT_NE(window, nullptr);
    CreateDirectoryA(kitwright.HostRoot().c_str(), nullptr);
    const DialogDriver dialog(window);
    dialog.Type(IDC_NAME, "Shop");
    dialog.Type(IDC_DESCRIPTION, "A shop");
    dialog.Click(IDOK);

    HWND box = kitwright.WaitForWindow("Kitwright");
    ASSERT_NE(box, nullptr);
    // Nothing was left, so the author is told that, and what to do, without a reason.
    const std::string text = MessageBoxText(box);
    EXPECT_EQ(text.rfind("The asset could not be written to\n\n", 0), 0u) << text;
    EXPECT_NE(text.find("\\World\\Custom\\Scenery\\Shop\n\nNothing was written.\n\nMake sure "
                        "that you may write in\n\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("reason"), std::string::npos) << text;
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ(dialog.Text(IDC_NAME), "Shop");
    EXPECT_EQ(kitwright.Launches(), std::vector<std::string>{});
}

// A name of 250 characters in two folders makes a path that Windows refuses: the box that
// says so still fits a 1,024-pixel screen, and the Name is selected for the author to type
// over.
TEST(Create, ARefusalOfALongNameFitsTheScreenAndSelectsTheName) {
    KitwrightSession kitwright;
    HWND window = kitwright.WaitForWindow(KITWRIGHT_DIALOG_CAPTION);
    ASSERT_NE(window, nullptr);
    CreateDirectoryA(kitwright.HostRoot().c_str(), nullptr);
    const DialogDriver dialog(window);
    const std::string name = std::string(124, 'n') + "\\" + std::string(125, 'n');
    SendMessageA(dialog.Control(IDC_NAME), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
    dialog.Type(IDC_DESCRIPTION, "A shop");
    dialog.Click(IDOK);

    HWND box = kitwright.WaitForWindow("Kitwright");
    ASSERT_NE(box, nullptr);
    RECT area = {};
    GetWindowRect(box, &area);
    EXPECT_LE(area.right - area.left, 1024) << MessageBoxText(box);
    EXPECT_NE(MessageBoxText(box).find("Please choose a shorter name."), std::string::npos);
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));

    DWORD start = 1;
    DWORD end = 0;
    EXPECT_TRUE(WaitUntil([&] {
        SendMessageA(dialog.Control(IDC_NAME), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                     reinterpret_cast<LPARAM>(&end));
        return start == 0 && end == name.size();
    })) << start
        << " to " << end;
    EXPECT_EQ(dialog.Text(IDC_NAME), name);
    GUITHREADINFO focus = {};
    focus.cbSize = sizeof focus;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &focus);
    EXPECT_EQ(focus.hwndFocus, dialog.Control(IDC_NAME));
}

}  // namespace
}  // namespace kitwright::testing

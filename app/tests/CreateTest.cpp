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
    const std::string folder = kitwright.HostRoot() + "\\World\\Custom\\Scenery\\Shop";
    EXPECT_EQ(MessageBoxText(box), "The asset could not be written:\n\n" + folder +
                                       "\n\nThe folder holds no config.txt, so the asset is "
                                       "not complete.");
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box); }));
    EXPECT_EQ(dialog.Text(IDC_NAME), "Shop");
    EXPECT_EQ(kitwright.Launches(), std::vector<std::string>{});
}

}  // namespace
}  // namespace kitwright::testing

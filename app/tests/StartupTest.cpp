// Kitwright's start-up, observed from outside: what appears, what the library is asked,
// what is launched.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/tests/KitwrightSession.h"
#include "version.h"

namespace kitwright::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

constexpr char kNotInstalledCaption[] = "Railvane is not installed";

class NotInstalled : public ::testing::TestWithParam<Host> {};

TEST_P(NotInstalled, OnlyTheBoxAppearsAndTheLibraryIsNeverStarted) {
    SessionOptions options;
    options.host = GetParam();
    KitwrightSession kitwright(options);
    HWND box = kitwright.WaitForWindow(kNotInstalledCaption);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box),
              "Railvane is not installed on this Machine.  \n\nPlease Install Railvane.");
    EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
    EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
    EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
    EXPECT_EQ(kitwright.VisibleWindows(), std::vector<HWND>{box});

    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(kitwright.WaitForExit());
    EXPECT_THAT(kitwright.LibraryCalls(), IsEmpty());
    kitwright.WaitForLaunchedPrograms();
    EXPECT_THAT(kitwright.Launches(), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(WithoutAnAppPathsEntryOrWithAnEmptyPath, NotInstalled,
                         ::testing::Values(Host::kNotRegistered, Host::kEmptyPath));

// The install root's folder does not exist here: only the registry value counts.
TEST(Startup, CloseEndsTheProgramAfterOnlyTheLibrarysStartAndTheIdentifierCheck) {
    KitwrightSession kitwright;
    HWND dialog = kitwright.WaitForWindow(KITWRIGHT_DIALOG_CAPTION);
    ASSERT_NE(dialog, nullptr);
    PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(kitwright.WaitForExit());
    EXPECT_THAT(kitwright.LibraryCalls(), ElementsAre("InitVEL", "GetMyKUID"));
    kitwright.WaitForLaunchedPrograms();
    EXPECT_THAT(kitwright.Launches(), IsEmpty());
}

// The shell finds the identity tool by its bare name beside the program.
TEST(Startup, WithoutCreatorIdentifierTheIdentityToolBesideTheProgramIsLaunched) {
    SessionOptions options;
    options.kuid = "0";
    KitwrightSession kitwright(options);
    HWND dialog = kitwright.WaitForWindow(KITWRIGHT_DIALOG_CAPTION);
    ASSERT_NE(dialog, nullptr);
    kitwright.WaitForLaunchedPrograms();
    EXPECT_THAT(kitwright.Launches(), ElementsAre("Nameplate.exe"));
    PostMessageA(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(kitwright.WaitForExit());
    EXPECT_THAT(kitwright.LibraryCalls(), ElementsAre("InitVEL", "GetMyKUID"));
}

}  // namespace
}  // namespace kitwright::testing

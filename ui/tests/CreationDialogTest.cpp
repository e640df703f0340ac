// The creation dialog on its real template and controls, in this process, with the
// recording platform and library standing in for Windows and velCompDLL.dll.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "catalogue/ClassTable.h"
#include "creation/Locations.h"
#include "creation/tests/Fakes.h"
#include "ui/tests/DrivenDialog.h"

namespace kitwright::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

constexpr char kNameplate[] = "Launch Nameplate.exe []";

bool IsPlatformCall(const std::string& entry) {
    for (const char* call : {"ReadMachineValue ", "PathExists ", "CopyFile ", "Launch ", "Message ",
                             "ProgramFileName", "StoredName "}) {
        if (entry.rfind(call, 0) == 0) {
            return true;
        }
    }
    return false;
}

class CreationDialog : public ::testing::Test {
protected:
    CreationDialog() {
        platform.machineValues[std::string(kInstallKey) + "|" + kPathValue] = "C:\\Sim";
        platform.existing.insert("C:\\Sim");
    }

    // Runs the dialog until it ends and returns how it ended: DrivenDialog::kLeftOpen
    // when the steps left it open.
    INT_PTR Run(DrivenDialog::Steps steps) {
        DrivenDialog dialog(platform, library, std::move(steps));
        return dialog.DoModal();
    }

    std::vector<std::string> LibraryCalls() const {
        std::vector<std::string> calls;
        std::copy_if(log.begin(), log.end(), std::back_inserter(calls),
                     [](const std::string& entry) { return !IsPlatformCall(entry); });
        return calls;
    }
    std::vector<std::string> Launches() const {
        std::vector<std::string> launches;
        std::copy_if(log.begin(), log.end(), std::back_inserter(launches),
                     [](const std::string& entry) { return entry.rfind("Launch ", 0) == 0; });
        return launches;
    }
    std::vector<std::string> OutsideNameCheck() const {
        std::vector<std::string> calls;
        std::copy_if(
            log.begin(), log.end(), std::back_inserter(calls), [](const std::string& entry) {
                for (const char* lookUp : {"ReadMachineValue ", "StoredName ", "PathExists "}) {
                    if (entry.rfind(lookUp, 0) == 0) {
                        return false;
                    }
                }
                return true;
            });
        return calls;
    }
    std::vector<std::string> Messages() const {
        std::vector<std::string> messages;
        std::copy_if(log.begin(), log.end(), std::back_inserter(messages),
                     [](const std::string& entry) { return entry.rfind("Message ", 0) == 0; });
        return messages;
    }

    CallLog log;
    RecordingPlatform platform{log};
    RecordingLibrary library{log, platform};
};

TEST_F(CreationDialog, TemplateFollowsTheSelectionAndNothingElseDoes) {
    const INT_PTR ended = Run([](DrivenDialog& d) {
        EXPECT_EQ(d.Text(IDC_TEMPLATE), "std_scenery");
        d.Type(IDC_NAME, "Shop");
        d.Type(IDC_DESCRIPTION, "A shop");

        d.SelectClass(FindClassRow("TR Rails"));
        EXPECT_EQ(d.Text(IDC_TEMPLATE), "railspline");
        d.SelectClass(FindClassRow("RESKIN f7"));
        EXPECT_EQ(d.Text(IDC_TEMPLATE), "liveryloft_reskin");
        // The list's own notification, from the keyboard.
        d.FocusOn(IDC_CLASS);
        d.PressKey(VK_HOME);
        EXPECT_EQ(d.Text(IDC_TEMPLATE), "std_scenery");

        EXPECT_EQ(d.Text(IDC_NAME), "Shop");
        EXPECT_EQ(d.Text(IDC_DESCRIPTION), "A shop");
    });
    EXPECT_EQ(ended, DrivenDialog::kLeftOpen);
}

TEST_F(CreationDialog, CreateIsEnabledOnlyWhileNameAndDescriptionBothHoldText) {
    Run([](DrivenDialog& d) {
        EXPECT_FALSE(d.IsEnabled(IDOK));
        d.Type(IDC_NAME, "Shop");
        EXPECT_FALSE(d.IsEnabled(IDOK));
        d.Type(IDC_DESCRIPTION, "x");
        EXPECT_TRUE(d.IsEnabled(IDOK));
        d.Clear(IDC_NAME);
        EXPECT_FALSE(d.IsEnabled(IDOK));
        d.Type(IDC_NAME, "Shop");
        EXPECT_TRUE(d.IsEnabled(IDOK));
        d.Clear(IDC_DESCRIPTION);
        EXPECT_FALSE(d.IsEnabled(IDOK));

        d.Type(IDC_DESCRIPTION, "   ");
        EXPECT_TRUE(d.IsEnabled(IDOK)) << "spaces are text";
        d.Clear(IDC_DESCRIPTION);
        d.Type(IDC_DESCRIPTION, "\r");
        EXPECT_EQ(d.Text(IDC_DESCRIPTION), "\r\n");
        EXPECT_TRUE(d.IsEnabled(IDOK)) << "a lone line break is text";
    });
}

TEST_F(CreationDialog, EnterInTheDescriptionInsertsALineBreakAndNeverPressesCreate) {
    const INT_PTR ended = Run([](DrivenDialog& d) {
        d.Type(IDC_NAME, "Shop");
        d.Type(IDC_DESCRIPTION, "One");
        ASSERT_TRUE(d.IsEnabled(IDOK));
        d.FocusOn(IDC_DESCRIPTION);
        SendMessageA(d.Control(IDC_DESCRIPTION), EM_SETSEL, 3, 3);
        d.PressKey(VK_RETURN);
        EXPECT_EQ(d.Text(IDC_DESCRIPTION), "One\r\n");
    });
    EXPECT_EQ(ended, DrivenDialog::kLeftOpen);
    EXPECT_THAT(LibraryCalls(), ElementsAre("GetMyKUID"));
}

TEST_F(CreationDialog, EnterAnywhereNeverRunsCreateWhileItIsDisabled) {
    const INT_PTR ended = Run([](DrivenDialog& d) {
        d.Type(IDC_NAME, "Shop");
        ASSERT_FALSE(d.IsEnabled(IDOK));
        for (int id : {IDC_TEMPLATE, IDC_NAME, IDC_CLASS}) {
            d.FocusOn(id);
            d.PressKey(VK_RETURN);
        }
        // What the dialog manager sends for Enter, whatever the button's state.
        SendMessageA(d.m_hWnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(d.Control(IDOK)));
    });
    EXPECT_EQ(ended, DrivenDialog::kLeftOpen);
    EXPECT_THAT(LibraryCalls(), ElementsAre("GetMyKUID"));
}

TEST_F(CreationDialog, FocusStartsOnCloseAndTabVisitsTheFieldsThenTheClassList) {
    Run([](DrivenDialog& d) {
        EXPECT_EQ(d.FocusedControl(), IDCANCEL);
        for (int next : {IDC_TEMPLATE, IDC_NAME, IDC_DESCRIPTION, IDC_CLASS, IDCANCEL}) {
            d.PressKey(VK_TAB);
            EXPECT_EQ(d.FocusedControl(), next);
        }
    });
}

struct ClassItem {
    std::string text;
    int image;
    int selectedImage;
};

std::vector<ClassItem> ClassItems(HWND list) {
    std::vector<ClassItem> items;
    const int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    for (int index = 0; index < count; ++index) {
        char text[kPathBufferSize] = {};
        COMBOBOXEXITEMA item = {};
        item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
        item.iItem = index;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        items.push_back({text, item.iImage, item.iSelectedImage});
    }
    return items;
}

TEST_F(CreationDialog, ClassListHoldsEveryRowInOrderWithItsPicture) {
    std::vector<ClassItem> items;
    int pictures = 0;
    Run([&](DrivenDialog& d) {
        items = ClassItems(d.Control(IDC_CLASS));
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the message answers with a handle
        auto* list = reinterpret_cast<HIMAGELIST>(
            SendMessageA(d.Control(IDC_CLASS), CBEM_GETIMAGELIST, 0, 0));
        pictures = ImageList_GetImageCount(list);
    });
    ASSERT_EQ(items.size(), kClassCount);
    for (int row = 0; row < static_cast<int>(kClassCount); ++row) {
        EXPECT_EQ(items[row].text, RowLabel(row));
        EXPECT_EQ(items[row].image, RowImage(row)) << RowLabel(row);
        EXPECT_EQ(items[row].selectedImage, RowImage(row)) << RowLabel(row);
    }
    EXPECT_EQ(items.back().text, "RESKIN vrs");
    EXPECT_EQ(pictures, 8);
}

TEST_F(CreationDialog, CaptionAndIconAreTheProgramsOwn) {
    Run([](DrivenDialog& d) {
        char caption[64] = {};
        GetWindowTextA(d.m_hWnd, caption, sizeof caption);
        EXPECT_STREQ(caption, "Kitwright (v1.0 build 24)");
        const LRESULT dragIcon = SendMessageA(d.m_hWnd, WM_QUERYDRAGICON, 0, 0);
        EXPECT_NE(dragIcon, 0);
        EXPECT_EQ(SendMessageA(d.m_hWnd, WM_GETICON, ICON_BIG, 0), dragIcon);
        EXPECT_EQ(SendMessageA(d.m_hWnd, WM_GETICON, ICON_SMALL, 0), dragIcon);
    });
}

class WithoutCreatorIdentifier : public CreationDialog,
                                 public ::testing::WithParamInterface<int> {};

TEST_P(WithoutCreatorIdentifier, IdentityToolIsLaunchedAtOpeningAndAtEachCreate) {
    library.kuid = GetParam();
    const INT_PTR ended = Run([this](DrivenDialog& d) {
        EXPECT_THAT(Launches(), ElementsAre(kNameplate));
        d.Type(IDC_NAME, "Shop");
        d.Type(IDC_DESCRIPTION, "A shop");
        for (std::size_t presses = 1; presses <= 2; ++presses) {
            d.Click(IDOK);
            EXPECT_EQ(Launches().size(), presses + 1);
            EXPECT_TRUE(d.IsOpen());
        }
        EXPECT_EQ(d.Text(IDC_NAME), "Shop");
        EXPECT_EQ(d.Text(IDC_DESCRIPTION), "A shop");
        d.Click(IDCANCEL);
    });
    EXPECT_EQ(ended, IDCANCEL);
    // The Name's check may have looked at the disk meanwhile, if typing paused long enough.
    EXPECT_THAT(OutsideNameCheck(), ElementsAre("GetMyKUID", kNameplate, "GetMyKUID", kNameplate,
                                                "GetMyKUID", kNameplate));
}

INSTANTIATE_TEST_SUITE_P(ZeroOrMinusOne, WithoutCreatorIdentifier, ::testing::Values(0, -1));

TEST_F(CreationDialog, CreateHandsTheFormToTheLibraryOpensTheAssetAndEnds) {
    const INT_PTR ended = Run([](DrivenDialog& d) {
        d.SelectClass(FindClassRow("SR Roads"));
        d.Type(IDC_NAME, "Lane");
        d.Type(IDC_DESCRIPTION, "Two\rlines");
        d.Click(IDOK);
    });
    EXPECT_EQ(ended, IDOK);

    const std::string destination = "C:\\Sim\\World\\Custom\\Splines\\";
    const std::string source = "C:\\Tools\\Kitwright\\templates\\meshspline\\";
    EXPECT_THAT(LibraryCalls(),
                ElementsAre("GetMyKUID", "GetMyKUID", "ClosePackage", "CreatePackage []",
                            "SetStringData description=Two\r\nlines",
                            "AddToPackageSpecial " + source + "|Lane|Two\r\nlines|SR",
                            "ExtractFromPackage " + destination + "|Lane"));
    EXPECT_THAT(Launches(), ElementsAre("Launch explorer.exe [/e," + destination + "Lane]"));
    EXPECT_THAT(Messages(), ElementsAre());
}

TEST_F(CreationDialog, AnExistingAssetIsReportedAndTheDialogStaysOpen) {
    platform.existing.insert("C:\\Sim\\World\\Custom\\Scenery\\Shop\\config.txt");
    const INT_PTR ended = Run([this](DrivenDialog& d) {
        d.Type(IDC_NAME, "Shop");
        d.Type(IDC_DESCRIPTION, "A shop");
        d.Click(IDOK);
        EXPECT_THAT(Messages(),
                    ElementsAre("Message Asset already exists, please use another name."));
        EXPECT_TRUE(d.IsOpen());
        EXPECT_EQ(d.Text(IDC_NAME), "Shop");
    });
    EXPECT_EQ(ended, DrivenDialog::kLeftOpen);
    EXPECT_THAT(LibraryCalls(),
                ElementsAre("GetMyKUID", "GetMyKUID", "ClosePackage", "CreatePackage []"));
}

// The hint under the Name: the reason Create would give, once typing pauses; gone when the
// Name can be used; asked again when the class changes. Create itself is not affected.
TEST_F(CreationDialog, ABalloonTellsWhyTheNameCannotBeUsedAndGoesWhenItCan) {
    platform.existing.insert("C:\\Sim\\World\\Custom\\Scenery\\Shop\\config.txt");
    Run([this](DrivenDialog& d) {
        d.Type(IDC_NAME, "Why?");
        d.PauseTyping();
        EXPECT_NE(d.NameHint().find(L"The name \"Why?\" cannot be used: "), std::wstring::npos);
        EXPECT_EQ(d.NameHint().find(L"Nothing was created"), std::wstring::npos);
        HWND balloon = VisibleBalloon();
        ASSERT_NE(balloon, nullptr) << "no balloon tip shown";
        EXPECT_EQ(TipText(balloon), d.NameHint());
        RECT area = {};
        GetWindowRect(d.m_hWnd, &area);
        RECT tip = {};
        GetWindowRect(balloon, &tip);
        UnionRect(&area, &area, &tip);
        EXPECT_TRUE(
            SaveScreenshot(area, KITWRIGHT_BUILD_DIR "/screenshots/kitwright-name-balloon.png"));
        EXPECT_FALSE(d.IsEnabled(IDOK)) << "Create still follows the two fields alone";

        d.Clear(IDC_NAME);
        d.Type(IDC_NAME, "Shop");
        d.Type(IDC_DESCRIPTION, "A shop");
        d.PauseTyping();
        EXPECT_EQ(d.NameHint(), L"Asset already exists, please use another name.");
        EXPECT_TRUE(d.IsEnabled(IDOK));

        d.SelectClass(FindClassRow("TR Rails"));  // another category: the name is free there
        d.PauseTyping();
        EXPECT_EQ(d.NameHint(), L"");
        EXPECT_EQ(VisibleBalloon(), nullptr);

        d.SelectClass(FindClassRow("BC Commercial"));
        d.PauseTyping();
        EXPECT_NE(VisibleBalloon(), nullptr);
        d.Click(IDOK);  // refused as before, with the same words
        EXPECT_THAT(Messages(),
                    ElementsAre("Message Asset already exists, please use another name."));
    });
}

// The tip over Create names the folder it would write, on hover, whether Create is enabled or
// not; it follows the class, the Name and the App Paths entry, and is silent with the balloon.
TEST_F(CreationDialog, CreatesTipSaysWhereItWouldWriteAndIsSilentWhileTheNameIsRefused) {
    Run([this](DrivenDialog& d) {
        d.SelectClass(FindClassRow("BR Railway (turntable)"));
        d.Type(IDC_NAME, "Turntable 2");
        d.PauseTyping();
        const std::wstring turntable =
            L"Creates C:\\Sim\\World\\Custom\\Trackside\\Turntable 2, from the template turntable.";
        for (const bool enabled : {false, true}) {
            if (enabled) {
                d.Type(IDC_DESCRIPTION, "A turntable");
            }
            ASSERT_EQ(d.IsEnabled(IDOK), enabled);
            HWND tip = d.HoverOver(IDOK);
            ASSERT_NE(tip, nullptr)
                << "no tip over Create while it is " << (enabled ? "" : "not ") << "enabled";
            EXPECT_EQ(TipText(tip), turntable);
            MoveMouseTo({0, 0});  // away, so that the tip goes and later pictures are clear
        }

        platform.machineValues[std::string(kInstallKey) + "|" + kPathValue] = "D:\\Railvane";
        d.SelectClass(FindClassRow("RESKIN gp38"));
        d.PauseTyping();
        EXPECT_EQ(d.CreateTip(),
                  L"Creates D:\\Railvane\\World\\Custom\\Trains\\Turntable 2, from "
                  L"the stock model gp38 of Railvane Livery Loft.");

        d.Type(IDC_NAME, "?");
        d.PauseTyping();
        EXPECT_NE(VisibleBalloon(), nullptr);
        EXPECT_EQ(d.CreateTip(), L"");
    });
}

// Keys and class changes in quick succession cost one check, of what is there at its end.
TEST_F(CreationDialog, FastTypingAndAClassChangeWhileACheckWaitsCostOneCheck) {
    platform.existing.insert("C:\\Sim\\World\\Custom\\Track\\Rail\\config.txt");
    Run([this](DrivenDialog& d) {
        d.Pump();
        log.clear();
        for (const char c : std::string("Rail")) {
            d.Type(IDC_NAME, std::string(1, c));
            d.SelectClass(FindClassRow(c == 'l' ? "TR Rails" : "BC Commercial"));
        }
        d.PauseTyping();
        EXPECT_EQ(std::count_if(log.begin(), log.end(),
                                [](const std::string& call) {
                                    return call.rfind("ReadMachineValue ", 0) == 0;
                                }),
                  1);
        EXPECT_EQ(d.NameHint(), L"Asset already exists, please use another name.");
        EXPECT_NE(VisibleBalloon(), nullptr);
        d.Click(IDCANCEL);  // closed with the balloon shown
    });
    EXPECT_EQ(VisibleBalloon(), nullptr);
}

// For review by eye: the dialog filled in for a repaint, and the dropped class list at its
// top and further down, which between them show every picture that a row uses.
TEST_F(CreationDialog, ScreenshotsOfTheOpenDialogAreSaved) {
    Run([](DrivenDialog& d) {
        const std::string folder = KITWRIGHT_BUILD_DIR "/screenshots/";
        d.SelectClass(FindClassRow("RESKIN gp38"));
        d.Type(IDC_NAME, "Blue");
        d.Type(IDC_DESCRIPTION, "The gp38 in blue\rwith a yellow stripe");
        d.Pump();
        EXPECT_TRUE(SaveScreenshot(d.m_hWnd, folder + "kitwright-dialog.png"));

        const std::pair<const char*, const char*> lists[] = {
            {"BC Commercial", "kitwright-class-list.png"},
            {"FT Trees", "kitwright-class-list-more.png"}};
        for (const auto& [first, file] : lists) {
            d.SelectClass(FindClassRow(first));
            SendMessageA(d.Control(IDC_CLASS), CB_SHOWDROPDOWN, TRUE, 0);
            d.Pump();
            EXPECT_TRUE(SaveScreenshot(d.m_hWnd, folder + file));
            SendMessageA(d.Control(IDC_CLASS), CB_SHOWDROPDOWN, FALSE, 0);
        }
    });
}

}  // namespace
}  // namespace kitwright::testing

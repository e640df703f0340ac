#include "creation/CreateAsset.h"

#include <gtest/gtest.h>

#include "creation/Locations.h"
#include "creation/tests/Fakes.h"

namespace kitwright {
namespace {

using ::kitwright::testing::CallLog;
using ::kitwright::testing::FakeForm;
using ::kitwright::testing::RecordingLibrary;
using ::kitwright::testing::RecordingPlatform;

const std::string kInstallRead = std::string("ReadMachineValue ") + kInstallKey + "|Path";
const std::string kLoftRead = std::string("ReadMachineValue ") + kLiveryLoftKey + "|Path";

// The first line of a message that stands between blank lines: the path or name it quotes.
std::string QuotedLine(const std::string& message) {
    const std::size_t start = message.find("\n\n");
    if (start == std::string::npos) {
        return {};
    }
    return message.substr(start + 2, message.find('\n', start + 2) - start - 2);
}

class CreateAssetTest : public ::testing::Test {
protected:
    CreateAssetTest() {
        platform.machineValues[std::string(kInstallKey) + "|Path"] = std::string("C:\\Sim", 7);
        platform.machineValues[std::string(kLiveryLoftKey) + "|Path"] = "D:\\Loft\\";
        platform.existing = {"C:\\Sim", "D:\\Loft"};
        for (const char* model : {"gp38", "f7"}) {
            platform.existing.insert(std::string("D:\\Loft\\skins\\") + model);
            platform.existing.insert(std::string("D:\\Loft\\skins\\") + model + "\\train");
        }
    }

    CreateOutcome Create() { return CreateAsset(platform, library, form); }

    // The calls made after the form was read and the package begun.
    CallLog AfterPackageBegun() const {
        const auto begun = std::find(log.begin(), log.end(), "CreatePackage []");
        return begun == log.end() ? CallLog{} : CallLog(begun + 1, log.end());
    }

    bool Logged(const std::string& call) const {
        return std::find(log.begin(), log.end(), call) != log.end();
    }

    CallLog log;
    RecordingPlatform platform{log};
    RecordingLibrary library{log, platform};
    FakeForm form{log, platform};
};

TEST_F(CreateAssetTest, TemplateRowRunsEveryStepInOrder) {
    EXPECT_EQ(Create(), CreateOutcome::kClose);
    const CallLog expected = {
        "GetMyKUID",
        "Form label",
        "Form name",
        "Form description",
        "ClosePackage",
        "CreatePackage []",
        kInstallRead,
        "PathExists C:\\Sim",
        "StoredName C:\\Sim\\World\\Custom\\Scenery\\Shop",
        "PathExists C:\\Sim\\World\\Custom\\Scenery\\Shop\\config.txt",
        "SetStringData description=A corner shop",
        "ProgramFileName",
        "AddToPackageSpecial C:\\Tools\\Kitwright\\templates\\std_scenery\\|Shop|A corner shop|BC",
        "ExtractFromPackage C:\\Sim\\World\\Custom\\Scenery\\|Shop",
        "PathExists C:\\Sim\\World\\Custom\\Scenery\\Shop\\config.txt",
        "Launch explorer.exe [/e,C:\\Sim\\World\\Custom\\Scenery\\Shop]",
    };
    EXPECT_EQ(log, expected);
}

// A write-out that finished an interrupted one says what it kept as the author changed it;
// the author reads it before the folder opens, and from a library that says nothing, nothing.
TEST_F(CreateAssetTest, WhatTheLibraryKeptForTheAuthorIsToldBeforeTheFolderOpens) {
    library.lastPackageNote =
        "Your changes were kept in these files, which an interrupted write-out "
        "had put there: \"models\\m.obj\".";
    EXPECT_EQ(Create(), CreateOutcome::kClose);
    const CallLog last(log.end() - 2, log.end());
    EXPECT_EQ(last, (CallLog{"Message The asset was written to\n\nC:\\Sim\\World\\Custom\\Scenery\\"
                             "Shop\n\n" +
                                 library.lastPackageNote,
                             "Launch explorer.exe [/e,C:\\Sim\\World\\Custom\\Scenery\\Shop]"}));
}

TEST_F(CreateAssetTest, ReskinRowBuildsFromTheSkinAndCopiesThePreview) {
    form.label = "RESKIN gp38";
    form.name = "Blue";
    EXPECT_EQ(Create(), CreateOutcome::kClose);
    const CallLog expected = {
        kInstallRead,
        "PathExists C:\\Sim",
        "StoredName C:\\Sim\\World\\Custom\\Trains\\Blue",
        "PathExists C:\\Sim\\World\\Custom\\Trains\\Blue\\config.txt",
        "PathExists C:\\Sim\\World\\Custom\\Trains\\Blue\\main.bmp",
        "SetStringData description=A corner shop",
        kLoftRead,
        "PathExists D:\\Loft",
        "PathExists D:\\Loft\\skins\\gp38",
        "PathExists D:\\Loft\\skins\\gp38\\train",
        "AddToPackageSpecial D:\\Loft\\skins\\gp38\\train\\|Blue|A corner shop|(null)",
        "ExtractFromPackage C:\\Sim\\World\\Custom\\Trains\\|Blue",
        "PathExists C:\\Sim\\World\\Custom\\Trains\\Blue\\config.txt",
        "CopyFile D:\\Loft\\skins\\gp38\\main.bmp -> "
        "C:\\Sim\\World\\Custom\\Trains\\Blue\\main.bmp",
        "Launch explorer.exe [/e,C:\\Sim\\World\\Custom\\Trains\\Blue]",
    };
    EXPECT_EQ(AfterPackageBegun(), expected);
}

TEST_F(CreateAssetTest, MissingCreatorIdentifierLaunchesTheIdentityToolOnly) {
    for (const int kuid : {0, -1}) {
        log.clear();
        library.kuid = kuid;
        EXPECT_EQ(Create(), CreateOutcome::kStayOpen);
        EXPECT_EQ(log, (CallLog{"GetMyKUID", "Launch Nameplate.exe []"})) << kuid;
    }
}

TEST_F(CreateAssetTest, UnknownClassReportsAndClosesWithoutPackageCalls) {
    form.label = "bc commercial";
    EXPECT_EQ(Create(), CreateOutcome::kClose);
    EXPECT_EQ(log.back(), "Message Fatal Error!\n\nCould not find internal class!");
    EXPECT_FALSE(Logged("ClosePackage"));
    EXPECT_FALSE(Logged("CreatePackage []"));
}

TEST_F(CreateAssetTest, ExistingAssetKeepsTheDialogOpenWithTheNewPackageCurrent) {
    platform.existing.insert("C:\\Sim\\World\\Custom\\Scenery\\Shop\\config.txt");
    EXPECT_EQ(Create(), CreateOutcome::kStayOpen);
    EXPECT_EQ(AfterPackageBegun(),
              (CallLog{kInstallRead, "PathExists C:\\Sim",
                       "StoredName C:\\Sim\\World\\Custom\\Scenery\\Shop",
                       "PathExists C:\\Sim\\World\\Custom\\Scenery\\Shop\\config.txt",
                       "Message Asset already exists, please use another name."}));
}

TEST_F(CreateAssetTest, OnlyAConfigFileInTheSameCategoryCountsAsAnAsset) {
    platform.existing.insert("C:\\Sim\\World\\Custom\\Scenery\\Bridge\\config.txt");
    platform.existing.insert("C:\\Sim\\World\\Custom\\Track\\Shop");  // a folder, no config.txt
    form.name = "Bridge";
    form.label = "TB Bridge";
    EXPECT_EQ(Create(), CreateOutcome::kClose);
    form.name = "Shop";
    EXPECT_EQ(Create(), CreateOutcome::kClose);
    EXPECT_TRUE(Logged("Launch explorer.exe [/e,C:\\Sim\\World\\Custom\\Track\\Shop]"));
}

TEST_F(CreateAssetTest, FailedTemplateAddStillExtractsLaunchesAndCloses) {
    library.addSucceeds = false;
    EXPECT_EQ(Create(), CreateOutcome::kClose);
    const CallLog expected = {
        "ProgramFileName",
        "AddToPackageSpecial C:\\Tools\\Kitwright\\templates\\std_scenery\\|Shop|A corner shop|BC",
        "Message Error Adding: C:\\Tools\\Kitwright\\templates\\std_scenery\\\n\n"
        "source folder is missing",
        "ExtractFromPackage C:\\Sim\\World\\Custom\\Scenery\\|Shop",
        "Launch explorer.exe [/e,C:\\Sim\\World\\Custom\\Scenery\\Shop]",
    };
    const CallLog after = AfterPackageBegun();
    EXPECT_EQ(CallLog(after.end() - 5, after.end()), expected);
}

TEST_F(CreateAssetTest, FailedReskinAddExtractsAndCopiesNothing) {
    library.addSucceeds = false;
    form.label = "RESKIN f7";
    EXPECT_EQ(Create(), CreateOutcome::kClose);
    const CallLog after = AfterPackageBegun();
    EXPECT_EQ(CallLog(after.end() - 2, after.end()),
              (CallLog{"Message Error Adding: D:\\Loft\\skins\\f7\\train\\\n\n"
                       "source folder is missing",
                       "Launch explorer.exe [/e,C:\\Sim\\World\\Custom\\Trains\\Shop]"}));
    EXPECT_FALSE(Logged("ExtractFromPackage C:\\Sim\\World\\Custom\\Trains\\|Shop"));
}

TEST_F(CreateAssetTest, ErrorBufferArrivesZeroedAndAnUnterminatedMessageIsCut) {
    library.addSucceeds = false;
    library.errorText = std::string(300, 'x');
    Create();
    EXPECT_EQ(library.lastErrorBuffer, std::vector<char>(kErrorTextSize, '\0'));
    // Wrapped to fit the screen, never cut further.
    const std::string start =
        "Message Error Adding: C:\\Tools\\Kitwright\\templates\\std_scenery\\\n\n";
    const auto message = std::find_if(
        log.begin(), log.end(), [&](const std::string& call) { return call.rfind(start, 0) == 0; });
    ASSERT_NE(message, log.end());
    std::string reason = message->substr(start.size());
    reason.erase(std::remove(reason.begin(), reason.end(), '\n'), reason.end());
    EXPECT_EQ(reason, std::string(kErrorTextSize - 1, 'x'));
}

// Without Railvane there is no custom-content tree that it would look in: nothing is
// stored, and the author's typing stays.
TEST_F(CreateAssetTest, WithoutTheHostNothingIsStoredAndTheDialogStaysOpen) {
    const struct {
        const char* registered;
        const char* named;
    } cases[] = {{nullptr, "its App Paths entry (railvane.exe) is missing"},
                 {"", "its App Paths entry (railvane.exe) is missing"},
                 {"E:\\Gone\\", "Railvane was not found in\n\nE:\\Gone\n\n"}};
    for (const auto& [registered, named] : cases) {
        log.clear();
        platform.machineValues.erase(std::string(kInstallKey) + "|Path");
        if (registered != nullptr) {
            platform.machineValues[std::string(kInstallKey) + "|Path"] = registered;
        }
        EXPECT_EQ(Create(), CreateOutcome::kStayOpen);
        EXPECT_NE(log.back().find(named), std::string::npos) << log.back();
        EXPECT_NE(log.back().find("Nothing was created."), std::string::npos);
        EXPECT_FALSE(Logged("SetStringData description=A corner shop"));
    }
}

// A repaint is made from a stock model of the repaint tool; without it there is nothing
// to add, and the message names what is missing.
TEST_F(CreateAssetTest, ARepaintWithoutItsStockModelIsRefusedBeforeTheAdd) {
    form.label = "RESKIN gp38";
    const struct {
        const char* missing;
        const char* named;
    } cases[] = {{"D:\\Loft\\skins\\gp38\\train", "missing:\n\nD:\\Loft\\skins\\gp38\\train\n"},
                 {"D:\\Loft\\skins\\gp38", "missing:\n\nD:\\Loft\\skins\\gp38\n"},
                 {"D:\\Loft", "missing:\n\nD:\\Loft\n"}};
    for (const auto& [missing, named] : cases) {
        log.clear();
        platform.existing.erase(missing);
        EXPECT_EQ(Create(), CreateOutcome::kStayOpen) << missing;
        EXPECT_NE(log.back().find(named), std::string::npos) << log.back();
        EXPECT_NE(log.back().find("stock models of Railvane Livery Loft"), std::string::npos);
    }
    log.clear();
    platform.machineValues.erase(std::string(kLiveryLoftKey) + "|Path");
    EXPECT_EQ(Create(), CreateOutcome::kStayOpen);
    EXPECT_NE(log.back().find("(Railvane Livery Loft.exe) is missing"), std::string::npos);
    for (const std::string& call : log) {
        EXPECT_EQ(call.rfind("AddToPackageSpecial", 0), std::string::npos) << call;
        EXPECT_EQ(call.rfind("Launch", 0), std::string::npos) << call;
    }
}

TEST_F(CreateAssetTest, NestedNameAndMultiLineDescriptionPassAsTyped) {
    form.name = "A\\B";
    form.description = "First line\r\nSecond \"line\"\r\n";
    EXPECT_EQ(Create(), CreateOutcome::kClose);
    EXPECT_TRUE(Logged("PathExists C:\\Sim\\World\\Custom\\Scenery\\A\\B\\config.txt"));
    EXPECT_TRUE(Logged("SetStringData description=First line\r\nSecond \"line\"\r\n"));
    EXPECT_TRUE(
        Logged("AddToPackageSpecial C:\\Tools\\Kitwright\\templates\\std_scenery\\|A\\B|"
               "First line\r\nSecond \"line\"\r\n|BC"));
    EXPECT_TRUE(Logged("Launch explorer.exe [/e,C:\\Sim\\World\\Custom\\Scenery\\A\\B]"));
}

// Every name Windows cannot keep as typed is refused with the reason while the dialog
// stays open: names that leave the category folder, characters and device names Windows
// forbids, and folder names that it would change.
TEST_F(CreateAssetTest, NamesWindowsCannotUseAreRefusedBeforeAnythingIsStored) {
    const std::pair<const char*, const char*> names[] = {
        {"..\\Track\\Shop", "the folder name . or .."},
        {"A\\..\\..\\B", "the folder name . or .."},
        {".", "the folder name . or .."},
        {"C:\\Evil", "names a drive"},
        {"C:Shop", "names a drive"},
        {"\\\\server\\share", "network path"},
        {"\\Shop", "root of a drive"},
        {"/Shop", "root of a drive"},
        {"Shop*", "the character *"},
        {"a|b", "the character |"},
        {"Why?", "the character ?"},
        {"CON", "device name"},
        {"nul.txt", "device name"},
        {"COM\xB9", "device name"},
        {"Shop.", "ends in a dot or a space"},
        {"Shop ", "ends in a dot or a space"},
        {" ", "ends in a dot or a space"},
        {"A\\ \\B", "ends in a dot or a space"},
        {"...", "ends in a dot or a space"},
        {"A\\B\\", "empty folder name"},
        {"A\\\\B", "empty folder name"},
        {"", "it is empty"},
    };
    for (const auto& [name, reason] : names) {
        log.clear();
        form.name = name;
        EXPECT_EQ(Create(), CreateOutcome::kStayOpen) << name;
        const CallLog after = AfterPackageBegun();
        ASSERT_EQ(after.size(), 3u) << name;
        EXPECT_EQ(after[0], kInstallRead);
        EXPECT_NE(after[2].find("The name \"" + std::string(name) + "\" cannot be used"),
                  std::string::npos)
            << after[2];
        EXPECT_NE(after[2].find(reason), std::string::npos) << after[2];
    }
}

// In code page 932 the second byte of a character may be 0x5C, which is no backslash.
TEST_F(CreateAssetTest, DoubleByteNamesAreJudgedByCharacter) {
    platform.leadBytes = {0x83};
    for (const std::string name : {"\x83\x5C", "\x83\x7C", "A\\\x83\x5C"}) {
        log.clear();
        form.name = name;
        EXPECT_EQ(Create(), CreateOutcome::kClose) << name;
        EXPECT_TRUE(Logged("StoredName C:\\Sim\\World\\Custom\\Scenery\\" + name));
        EXPECT_TRUE(Logged("ExtractFromPackage C:\\Sim\\World\\Custom\\Scenery\\|" + name));
    }
    EXPECT_TRUE(Logged("StoredName C:\\Sim\\World\\Custom\\Scenery\\A"));
}

// A name that is the short (8.3) name of an author's folder would write into that folder.
TEST_F(CreateAssetTest, AnotherNameOfAnExistingFolderIsRefused) {
    const std::string category = "C:\\Sim\\World\\Custom\\Scenery\\";
    platform.otherNames[category + "SHOPPI~1"] = "Shopping Centre WIP";
    platform.otherNames[category + "Mall\\INNERC~1"] = "Inner Court";
    for (const char* name : {"SHOPPI~1", "SHOPPI~1\\Shop", "Mall\\INNERC~1"}) {
        log.clear();
        form.name = name;
        EXPECT_EQ(Create(), CreateOutcome::kStayOpen) << name;
        EXPECT_NE(log.back().find("another name of the folder"), std::string::npos) << name;
        EXPECT_FALSE(Logged("SetStringData description=A corner shop"));
    }
    EXPECT_NE(log.back().find(category + "Mall\\Inner Court\n"), std::string::npos) << log.back();
}

// The author's own main.bmp in a work-in-progress folder stays; one that the write-out
// brought is replaced by the model's preview.
TEST_F(CreateAssetTest, TheAuthorsOwnPreviewIsKept) {
    form.label = "RESKIN gp38";
    form.name = "Blue";
    platform.existing.insert("C:\\Sim\\World\\Custom\\Trains\\Blue\\main.bmp");
    EXPECT_EQ(Create(), CreateOutcome::kClose);
    for (const std::string& call : log) {
        EXPECT_EQ(call.rfind("CopyFile", 0), std::string::npos) << call;
    }
    EXPECT_TRUE(Logged("Launch explorer.exe [/e,C:\\Sim\\World\\Custom\\Trains\\Blue]"));
}

TEST_F(CreateAssetTest, AFailedWriteOutGivesTheLibrarysReasonWhenItHasOne) {
    library.extractWritesConfig = false;
    EXPECT_EQ(Create(), CreateOutcome::kStayOpen);
    EXPECT_EQ(log.back().find("reason"), std::string::npos) << log.back();
    library.lastPackageError =
        "Cannot write \"C:\\Sim\\x\" (There is not enough space on the disk).";
    EXPECT_EQ(Create(), CreateOutcome::kStayOpen);
    EXPECT_NE(
        log.back().find("\n\nThe library gives the reason: " + library.lastPackageError + "\n\n"),
        std::string::npos)
        << log.back();
}

TEST_F(CreateAssetTest, OverlongPathsAreReportedAndNothingIsCreated) {
    // A destination of exactly 259 characters fits; the asset folder below it does not.
    const std::string root = "C:\\" + std::string(259 - 3 - 22, 'r');
    platform.machineValues[std::string(kInstallKey) + "|Path"] = root;
    platform.existing = {root, root + "x"};
    EXPECT_EQ(Create(), CreateOutcome::kStayOpen);
    const std::string destination = root + "\\World\\Custom\\Scenery\\";
    ASSERT_EQ(destination.size(), 259u);
    // Quoted shortened in the middle, so that the box fits the screen.
    EXPECT_EQ(QuotedLine(log.back()), "C:\\" + std::string(29, 'r') + "\xE2\x80\xA6" +
                                          std::string(5, 'r') + "\\World\\Custom\\Scenery\\Shop");
    EXPECT_EQ(form.returnsToName, 1);

    log.clear();
    platform.machineValues[std::string(kInstallKey) + "|Path"] = root + "x";
    EXPECT_EQ(Create(), CreateOutcome::kStayOpen);
    EXPECT_EQ(QuotedLine(log.back()), "C:\\" + std::string(29, 'r') + "\xE2\x80\xA6" +
                                          std::string(8, 'r') + "x\\World\\Custom\\Scenery\\");
    EXPECT_EQ(form.returnsToName, 1) << "not the Name's fault";
    EXPECT_EQ(AfterPackageBegun().size(), 3u);
}

TEST_F(CreateAssetTest, AssetWithoutConfigAfterExtractIsReportedAndNotOpened) {
    library.extractWritesConfig = false;
    for (const char* label : {"BC Commercial", "RESKIN gp38"}) {
        log.clear();
        form.label = label;
        EXPECT_EQ(Create(), CreateOutcome::kStayOpen) << label;
        EXPECT_NE(log.back().find("could not be written"), std::string::npos) << label;
        EXPECT_NE(log.back().find("\\World\\Custom\\"), std::string::npos);
        for (const std::string& call : log) {
            EXPECT_EQ(call.rfind("Launch", 0), std::string::npos) << call;
            EXPECT_EQ(call.rfind("CopyFile", 0), std::string::npos) << call;
        }
    }
}

TEST_F(CreateAssetTest, IdentityCheckRunsAgainAtEveryCreate) {
    platform.existing.insert("C:\\Sim\\World\\Custom\\Scenery\\Shop\\config.txt");
    Create();
    library.kuid = 0;
    Create();
    EXPECT_EQ(std::count(log.begin(), log.end(), "GetMyKUID"), 2);
    EXPECT_EQ(log.back(), "Launch Nameplate.exe []");
}

// What a code page lacks would reach the library as a look-alike or a '?': refused first,
// with the character, its code and the code page named, and the author sent to the field.
TEST_F(CreateAssetTest, TextTheCodePageCannotHoldIsRefusedBeforeAnyPackageCall) {
    form.typedName = L"\u0416\u0438\u043B\u043E\u0439 \u0434\u043E\u043C";
    EXPECT_EQ(Create(), CreateOutcome::kStayOpen);
    const std::string name = "\xD0\x96\xD0\xB8\xD0\xBB\xD0\xBE\xD0\xB9 \xD0\xB4\xD0\xBE\xD0\xBC";
    EXPECT_EQ(log, (CallLog{"GetMyKUID", "Form label", "Form name", "Form description",
                            "Message The name \"" + name +
                                "\" cannot be used: the character \xD0\x96 (U+0416) cannot be "
                                "stored in this computer's code page (Windows-1252), so the asset "
                                "would get another name.\n\nPlease type the name without that "
                                "character. Nothing was created."}));
    EXPECT_EQ(form.returnsToName, 1);

    log.clear();
    form.typedName.clear();
    form.typedDescription = L"Line one\r\nx\uFF3Cy";
    platform.codePage = 932;
    EXPECT_EQ(Create(), CreateOutcome::kStayOpen);
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(
        log.back(),
        "Message The description cannot be used: the character \xEF\xBC\xBC (U+FF3C) cannot be "
        "stored in this computer's code page (Shift-JIS, 932), so config.txt would hold "
        "another character in its place.\n\nPlease type the description without that "
        "character. Nothing was created.");
    EXPECT_EQ(form.returnsToName, 1) << "the Name was not the problem";
}

TEST_F(CreateAssetTest, EveryRefusalOfTheNameSendsTheAuthorBackToIt) {
    platform.existing.insert("C:\\Sim\\World\\Custom\\Scenery\\Taken\\config.txt");
    platform.otherNames["C:\\Sim\\World\\Custom\\Scenery\\SHOPPI~1"] = "Shopping";
    const char* refused[] = {"Why?", "SHOPPI~1", "Taken", "A\\B\\", "CON"};
    for (const char* name : refused) {
        form.name = name;
        form.returnsToName = 0;
        EXPECT_EQ(Create(), CreateOutcome::kStayOpen) << name;
        EXPECT_EQ(form.returnsToName, 1) << name;
    }
    form.name = "Shop";
    platform.existing.erase("C:\\Sim");  // Railvane gone: not the Name's fault
    form.returnsToName = 0;
    EXPECT_EQ(Create(), CreateOutcome::kStayOpen);
    EXPECT_EQ(form.returnsToName, 0);
}

// The library writes an asset whole or not at all: where no folder is left, nothing was
// written, and the author is told what to do about it.
TEST_F(CreateAssetTest, AWriteOutThatLeftNothingSaysSoWithWhatToDo) {
    library.extractWritesConfig = false;
    library.lastPackageError = "Cannot make the folder \"C:\\Sim\\World\" (Access is denied).";
    EXPECT_EQ(Create(), CreateOutcome::kStayOpen);
    EXPECT_EQ(log.back(),
              "Message The asset could not be written to\n\nC:\\Sim\\World\\Custom\\Scenery\\Shop"
              "\n\nNothing was written.\n\nThe library gives the reason: " +
                  library.lastPackageError +
                  "\n\nMake sure that you may write in\n\nC:\\Sim\\World\\Custom\\Scenery\\\n\n"
                  "and that its disk has room, then press Create again.");

    const std::string programFiles = "C:\\Program Files (x86)\\Railvane";
    platform.machineValues[std::string(kInstallKey) + "|Path"] = programFiles;
    platform.existing.insert(programFiles);
    EXPECT_EQ(Create(), CreateOutcome::kStayOpen);
    EXPECT_NE(log.back().find("Nothing was written."), std::string::npos);
    EXPECT_NE(log.back().find("Make its World\\Custom folder writable for your user account"),
              std::string::npos)
        << log.back();
    EXPECT_NE(log.back().find("\"Run as administrator\""), std::string::npos);

    // An author's folder that was there before stays, without config.txt.
    platform.existing.insert(programFiles + "\\World\\Custom\\Scenery\\Shop");
    EXPECT_EQ(Create(), CreateOutcome::kStayOpen);
    EXPECT_NE(log.back().find("The folder holds no config.txt, so the asset is not complete."),
              std::string::npos);
    EXPECT_EQ(log.back().find("Nothing was written"), std::string::npos);
}

}  // namespace
}  // namespace kitwright

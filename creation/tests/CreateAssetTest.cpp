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

class CreateAssetTest : public ::testing::Test {
protected:
    CreateAssetTest() {
        platform.machineValues[std::string(kInstallKey) + "|Path"] = std::string("C:\\Sim", 7);
        platform.machineValues[std::string(kLiveryLoftKey) + "|Path"] = "D:\\Loft\\";
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
    FakeForm form{log};
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

TEST_F(CreateAssetTest, ReskinRowBuildsFromTheSkinAndCopiesThePreview) {
    form.label = "RESKIN gp38";
    form.name = "Blue";
    EXPECT_EQ(Create(), CreateOutcome::kClose);
    const CallLog expected = {
        kInstallRead,
        "PathExists C:\\Sim\\World\\Custom\\Trains\\Blue\\config.txt",
        "SetStringData description=A corner shop",
        kLoftRead,
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
              (CallLog{kInstallRead, "PathExists C:\\Sim\\World\\Custom\\Scenery\\Shop\\config.txt",
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
    EXPECT_TRUE(Logged("Message Error Adding: C:\\Tools\\Kitwright\\templates\\std_scenery\\\n\n" +
                       std::string(kErrorTextSize - 1, 'x')));
}

TEST_F(CreateAssetTest, MissingRegistrationsLeaveEmptyRoots) {
    platform.machineValues.clear();
    form.label = "RESKIN gp38";
    EXPECT_EQ(Create(), CreateOutcome::kClose);
    EXPECT_TRUE(Logged("AddToPackageSpecial \\skins\\gp38\\train\\|Shop|A corner shop|(null)"));
    EXPECT_TRUE(Logged("ExtractFromPackage \\World\\Custom\\Trains\\|Shop"));
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

TEST_F(CreateAssetTest, NamesLeavingTheCategoryAreRefusedBeforeAnythingIsStored) {
    for (const char* name :
         {"..\\Track\\Shop", "C:\\Evil", "\\\\server\\share", "\\Shop", "A\\..\\..\\B", "."}) {
        log.clear();
        form.name = name;
        EXPECT_EQ(Create(), CreateOutcome::kStayOpen) << name;
        const CallLog after = AfterPackageBegun();
        ASSERT_EQ(after.size(), 2u) << name;
        EXPECT_EQ(after[0], kInstallRead);
        EXPECT_NE(after[1].find("would place the asset outside"), std::string::npos) << name;
        EXPECT_NE(after[1].find(name), std::string::npos) << name;
    }
}

TEST_F(CreateAssetTest, OverlongPathsAreReportedAndNothingIsCreated) {
    // A destination of exactly 259 characters fits; the asset folder below it does not.
    const std::string root = "C:\\" + std::string(259 - 3 - 22, 'r');
    platform.machineValues[std::string(kInstallKey) + "|Path"] = root;
    EXPECT_EQ(Create(), CreateOutcome::kStayOpen);
    const std::string destination = root + "\\World\\Custom\\Scenery\\";
    ASSERT_EQ(destination.size(), 259u);
    EXPECT_NE(log.back().find(destination + "Shop\n"), std::string::npos);

    log.clear();
    platform.machineValues[std::string(kInstallKey) + "|Path"] = root + "x";
    EXPECT_EQ(Create(), CreateOutcome::kStayOpen);
    EXPECT_NE(log.back().find(root + "x\\World\\Custom\\Scenery\\\n"), std::string::npos);
    EXPECT_EQ(AfterPackageBegun().size(), 2u);
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

}  // namespace
}  // namespace kitwright

// The check behind the hint on the Name field: the same reasons as Create, a few look-ups.
#include "creation/Refusals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

#include "creation/Locations.h"
#include "creation/tests/Fakes.h"

namespace kitwright {
namespace {

using ::kitwright::testing::CallLog;
using ::kitwright::testing::FakeForm;
using ::kitwright::testing::RecordingLibrary;
using ::kitwright::testing::RecordingPlatform;

class TypedNameTest : public ::testing::Test {
protected:
    TypedNameTest() {
        platform.machineValues[std::string(kInstallKey) + "|Path"] = "C:\\Sim";
        platform.existing = {"C:\\Sim", "C:\\Sim\\World\\Custom\\Scenery\\Shop\\config.txt"};
    }

    std::wstring Problem(const char* label, const std::wstring& name) {
        return CheckTypedName(platform, ClassRowAt(FindClassRow(label)), name).problem;
    }
    std::string WouldCreate(const char* label, const std::wstring& name) {
        return platform.NarrowText(
            CheckTypedName(platform, ClassRowAt(FindClassRow(label)), name).wouldCreate);
    }

    // What Create shows for the same Name, without the words that end every refusal.
    std::string CreateSays(const char* label, const std::wstring& name) {
        CallLog createLog;
        RecordingPlatform createPlatform{createLog};
        createPlatform.machineValues = platform.machineValues;
        createPlatform.existing = platform.existing;
        RecordingLibrary library{createLog, createPlatform};
        FakeForm form{createLog, createPlatform};
        form.label = label;
        form.typedName = name;
        CreateAsset(createPlatform, library, form);
        std::string said = createLog.back();
        const std::string end = " Nothing was created.";
        if (said.size() > end.size() &&
            said.compare(said.size() - end.size(), end.size(), end) == 0) {
            said.resize(said.size() - end.size());
        }
        return said;
    }

    CallLog log;
    RecordingPlatform platform{log};
};

TEST_F(TypedNameTest, GivesTheReasonCreateWouldGive) {
    for (const std::wstring name : {L"x\uFF3Cy", L"Why?", L"Shop", L"CON", L"A\\\\B"}) {
        const std::wstring problem = Problem("BC Commercial", name);
        ASSERT_FALSE(problem.empty());
        EXPECT_EQ("Message " + platform.NarrowText(problem), CreateSays("BC Commercial", name));
    }
}

TEST_F(TypedNameTest, AUsableOrEmptyNameHasNoProblem) {
    EXPECT_EQ(Problem("BC Commercial", L""), L"");
    EXPECT_EQ(Problem("BC Commercial", L"Corner Shop"), L"");
    EXPECT_EQ(Problem("BC Commercial", L"Shops\\Corner"), L"");
}

// "Already exists" belongs to the category of the class selected now.
TEST_F(TypedNameTest, TheSelectedClassDecidesWhereTheNameIsLookedFor) {
    EXPECT_EQ(platform.NarrowText(Problem("BC Commercial", L"Shop")),
              "Asset already exists, please use another name.");
    EXPECT_EQ(Problem("TR Rails", L"Shop"), L"");
}

TEST_F(TypedNameTest, WithoutRailvaneOnlyTheNameItselfIsJudged) {
    platform.machineValues.clear();
    EXPECT_EQ(Problem("BC Commercial", L"Shop"), L"");
    EXPECT_NE(platform.NarrowText(Problem("BC Commercial", L"Why?")).find("the character ?"),
              std::string::npos);
    EXPECT_NE(platform.NarrowText(Problem("BC Commercial", L"\u0416")).find("(U+0416)"),
              std::string::npos);
}

// The tip on Create: the whole asset folder, shortened in its middle as messages are, and its
// source, with no look-up that the balloon does not make.
TEST_F(TypedNameTest, SaysWhereCreateWouldWriteAUsableNameAndFromWhat) {
    const std::tuple<const char*, std::wstring, std::string> cases[] = {
        {"BR Railway (turntable)", L"Turntable 2",
         "Creates C:\\Sim\\World\\Custom\\Trackside\\Turntable 2, from the template turntable."},
        {"RESKIN gp38", L"GP38 Blue",
         "Creates C:\\Sim\\World\\Custom\\Trains\\GP38 Blue, from the stock model gp38 of "
         "Railvane Livery Loft."},
        {"SP Platforms", L"Stations\\" + std::wstring(40, L'x') + L"\\Halt",
         "Creates C:\\Sim\\World\\Custom\\Scenery\\Stat\u2026xxxxxxxxxxxxxxxxxxxxxxxxxx\\Halt, "
         "from the template meshspline."},
    };
    for (const auto& [label, name, tip] : cases) {
        EXPECT_EQ(WouldCreate(label, name), tip);
    }
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& call) {
                                return call.find(kLiveryLoftKey) != std::string::npos;
                            }),
              0);
}

// Where the balloon speaks, or the place is not known, the tip names no folder.
TEST_F(TypedNameTest, SaysNothingOfAFolderForANameThatCannotBeUsed) {
    for (const std::wstring name : {L"Why?", L"Shop", L"x\uFF3Cy", L""}) {
        EXPECT_EQ(WouldCreate("BC Commercial", name), "") << platform.NarrowText(name);
    }
    platform.machineValues.clear();
    EXPECT_EQ(WouldCreate("BC Commercial", L"Corner Shop"), "");
}

// Run after each pause in typing: the registry and one look-up per folder of the name, and
// the asset's config.txt.
TEST_F(TypedNameTest, CostsAFewLookUps) {
    Problem("BC Commercial", L"Shops\\Corner");
    EXPECT_EQ(log,
              (CallLog{std::string("ReadMachineValue ") + kInstallKey + "|Path",
                       "StoredName C:\\Sim\\World\\Custom\\Scenery\\Shops",
                       "StoredName C:\\Sim\\World\\Custom\\Scenery\\Shops\\Corner",
                       "PathExists C:\\Sim\\World\\Custom\\Scenery\\Shops\\Corner\\config.txt"}));
    log.clear();
    Problem("BC Commercial", L"Why?");
    EXPECT_EQ(log.size(), 1u) << "a name the rules refuse needs no disk";
}

}  // namespace
}  // namespace kitwright

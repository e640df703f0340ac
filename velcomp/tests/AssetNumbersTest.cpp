// Asset numbers that assets of the creator already carry in the content tree, as after a
// second PC, another account or a reinstalled system started the counter again at 1.
#include <gtest/gtest.h>

#include "velcomp/AssetNumbers.h"
#include "velcomp/CreatorIdentity.h"
#include "velcomp/Library.h"
#include "velcomp/tests/ScratchSettings.h"
#include "velcomp/tests/TestFolders.h"

namespace velcomp {

namespace fs = std::filesystem;
namespace {

using test::TempFolder;
using test::WriteFile;

TEST(AssetNumbersTest, TheKuidOfEveryConfigOfTheCreatorInTheTreeCounts) {
    TempFolder tree;
    WriteFile(tree.path() / "A" / "config.txt", "kind = scenery\r\nkuid = <kuid:7:3>\r\n");
    WriteFile(tree.path() / "B" / "C" / "config.txt", "  KUID=\"<kuid2:7:12:4>\"\n");
    WriteFile(tree.path() / "D" / "CONFIG.TXT", "kuid\t=\t<KUID:7:5>");
    WriteFile(tree.path() / "E" / "config.txt", "kuid = <kuid:8:50>\r\n");    // another creator
    WriteFile(tree.path() / "F" / "config.txt", "# kuid = <kuid:7:99>\r\n");  // a comment
    WriteFile(tree.path() / "G" / "notes.txt", "kuid = <kuid:7:77>\r\n");     // not a config
    WriteFile(tree.path() / "H" / "config.txt", "kuid = <kuid:7:x>\r\nkuid = <kuid:7:\r\n");
    EXPECT_EQ(NumbersInUse(tree.path(), 7), (std::set<std::int32_t>{3, 5, 12}));
    EXPECT_EQ(NumbersInUse(tree.path() / "missing", 7), std::set<std::int32_t>{});
}

TEST(AssetNumbersTest, TheTreeIsTheWorldCustomFolderAboveTheDestination) {
    const fs::path root = PathFromText("base\\World\\Custom\\");
    EXPECT_EQ(ContentTree(PathFromText("base\\World\\Custom\\Scenery\\")),
              PathFromText("base\\World\\Custom"));
    EXPECT_EQ(ContentTree(PathFromText("base\\World\\Custom\\Scenery\\Shops\\")),
              PathFromText("base\\World\\Custom"));
    EXPECT_EQ(ContentTree(PathFromText("base\\Other\\Scenery\\")),
              PathFromText("base\\Other\\Scenery\\"));
    EXPECT_EQ(ContentTree(root), PathFromText("base\\World\\Custom"));
}

class FreshCounterTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetCreatorKuid(*settings_, 424242).ok());
        WriteFile(source_.path() / "main.obj", "o box\n");
        WriteFile(Custom() / "Scenery" / "Old" / "config.txt", "kuid = <kuid:424242:1>\r\n");
        WriteFile(Custom() / "Trains" / "Blue" / "config.txt", "kuid = <kuid:424242:7>\r\n");
        WriteFile(Custom() / "Track" / "Theirs" / "config.txt", "kuid = <kuid:55:20>\r\n");
        WriteFile(root_.path() / "Elsewhere" / "config.txt", "kuid = <kuid:424242:9>\r\n");
    }
    fs::path Custom() const { return root_.path() / "World" / "Custom"; }
    std::string Kuid(const std::string& name) {
        library_.CreatePackage("");
        EXPECT_TRUE(library_.AddToPackage({source_.Text(), name, "", "BC"}).ok());
        const std::string destination = root_.Text() + "World\\Custom\\Scenery\\";
        const Result written = library_.ExtractFromPackage(destination, name);
        EXPECT_TRUE(written.ok()) << written.message();
        ConfigFile config;
        EXPECT_TRUE(ReadConfigFile(Custom() / "Scenery" / name / "config.txt", config).ok());
        return config.Find("kuid") ? *config.Find("kuid") : "<none>";
    }
    std::int32_t Counter() {
        std::int32_t next = 0;
        EXPECT_TRUE(TakeAssetNumber(*settings_, next).ok());
        return next;
    }

    test::ScratchSettings scratch_;
    std::unique_ptr<SettingsStore> settings_ = scratch_.Open();
    Library library_{*settings_};
    TempFolder source_;
    TempFolder root_;
};

// The add takes 1, which an asset already carries: the write-out takes the first number
// past every number of the creator's under World\Custom, and the counter moves on.
TEST_F(FreshCounterTest, ANumberInUseIsSkippedAndTheCounterMovesPastThemAll) {
    EXPECT_EQ(Kuid("Shop"), "<kuid:424242:8>");
    EXPECT_EQ(Kuid("Kiosk"), "<kuid:424242:9>");  // 9 is carried only outside the tree
    EXPECT_EQ(Counter(), 10);
}

// A number that no asset carries stays, even below the highest in use.
TEST_F(FreshCounterTest, AFreeNumberStaysAndTheCounterStillMovesPast) {
    ASSERT_TRUE(settings_->WriteNumber(kNextAssetNumberValue, 3).ok());
    EXPECT_EQ(Kuid("Shop"), "<kuid:424242:3>");
    EXPECT_EQ(Counter(), 8);
}

}  // namespace
}  // namespace velcomp

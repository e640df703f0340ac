#include "velcomp/MessageText.h"

#include <gtest/gtest.h>

#include "velcomp/Library.h"
#include "velcomp/tests/ScratchSettings.h"
#include "velcomp/tests/TestFolders.h"

namespace velcomp {
namespace {

TEST(MessageTextTest, LongTextsKeepTheirStartAndEnd) {
    EXPECT_EQ(Quote("C:\\Sim\\"), "\"C:\\Sim\\\"");
    const std::string longPath = "C:\\" + std::string(300, 'x') + "\\skins\\gp38\\train\\";
    const std::string quoted = Quote(longPath);
    EXPECT_LE(quoted.size(), 90u);
    EXPECT_EQ(quoted.rfind("\"C:\\xxx", 0), 0u);
    EXPECT_NE(quoted.find("..."), std::string::npos);
    EXPECT_EQ(quoted.substr(quoted.size() - 19), "\\skins\\gp38\\train\\\"");
}

TEST(MessageTextTest, CopyNeverOverrunsAndAlwaysTerminates) {
    char buffer[300];
    std::fill(std::begin(buffer), std::end(buffer), '#');
    CopyMessage(std::string(1000, 'm'), buffer, 256);
    EXPECT_EQ(std::string(buffer), std::string(255, 'm'));
    EXPECT_EQ(buffer[256], '#');
    CopyMessage("short", buffer, 256);
    EXPECT_STREQ(buffer, "short");
    CopyMessage("anything", nullptr, 256);  // no buffer: nothing to do, no crash
}

TEST(MessageTextTest, FailuresWithHugePathsStillFitTheBuffer) {
    test::ScratchSettings scratch;
    const auto settings = scratch.Open();
    Library library(*settings);
    library.CreatePackage("");
    test::TempFolder folder;
    const std::string source = folder.Text() + std::string(2000, 's') + "\\";
    const std::string name(2000, 'n');
    EXPECT_LE(library.AddToPackage({source, "Shop", "", std::nullopt}).message().size(), 255u);
    const Result refused = library.AddToPackage({source, name + "?", "", std::nullopt});
    EXPECT_LE(refused.message().size(), 255u);
    EXPECT_NE(refused.message().find("the character ?"), std::string::npos);
}

}  // namespace
}  // namespace velcomp

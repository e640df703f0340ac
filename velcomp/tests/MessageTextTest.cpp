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

TEST(MessageTextTest, CopyNeverOverrunsAndLosesTheMiddleOfWhatDoesNotFit) {
    char buffer[300];
    std::fill(std::begin(buffer), std::end(buffer), '#');
    CopyMessage(std::string(100, 'a') + std::string(1000, 'm') + std::string(200, 'z'), buffer,
                256);
    const std::string copied = buffer;
    EXPECT_EQ(copied.size(), 255u);
    EXPECT_EQ(copied.rfind(std::string(84, 'a') + "...", 0), 0u);
    EXPECT_EQ(copied.substr(copied.size() - 168), std::string(168, 'z'));
    EXPECT_EQ(buffer[256], '#');
    CopyMessage("short", buffer, 256);
    EXPECT_STREQ(buffer, "short");
    CopyMessage("a message", buffer, 5);  // too small to keep both ends: its start
    EXPECT_STREQ(buffer, "a me");
    CopyMessage("anything", nullptr, 256);  // no buffer: nothing to do, no crash
}

// A failure followed by what could not be cleaned up: the second part names what the author
// must remove, so it is the first that gives way.
TEST(MessageTextTest, AJoinedMessageKeepsItsSecondPartWhole) {
    const std::string first = "Cannot write " + Quote("C:\\" + std::string(200, 'w')) + " (" +
                              std::string(120, 'r') + ").";
    const std::string second =
        "Cannot remove the library's working folder; please remove " +
        Quote("C:\\Sim\\World\\Custom\\" + std::string(120, 's') + "\\Shop.velcomp-staging") +
        " (Permission denied).";
    const std::string joined = JoinMessages(first, second);
    EXPECT_LE(joined.size(), kMaxMessageLength);
    EXPECT_EQ(joined.rfind("Cannot write \"C:\\", 0), 0u) << joined;
    EXPECT_EQ(joined.substr(joined.size() - second.size()), second);
    EXPECT_EQ(JoinMessages("", second), second);
    EXPECT_EQ(JoinMessages(first.substr(0, 20), "b"), first.substr(0, 20) + " b");
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

#include "velcomp/MessageText.h"

#include <gtest/gtest.h>

#include "velcomp/Library.h"
#include "velcomp/tests/ScratchSettings.h"
#include "velcomp/tests/TestFolders.h"

namespace velcomp {
namespace {

// Text of 表 and ポ in turn, in the system's 8-bit text: in code page 932 their second bytes
// are a backslash and a bar, which a cut through the character would leave standing alone.
std::string KanjiAndKana(std::size_t characters) {
#ifdef _WIN32
    if (GetACP() != 932) {
        return {};
    }
    const std::string pair = "\x95\x5C\x83\x7C";
#else
    const std::string pair = "\xE8\xA1\xA8\xE3\x83\x9D";
#endif
    std::string text;
    for (std::size_t i = 0; i < characters; ++i) {
        text += pair.substr(i % 2 == 0 ? 0 : pair.size() / 2, pair.size() / 2);
    }
    return text;
}

// Whether `at` is where a character of `text` starts (or its end), read from the front.
bool StartsCharacter(const std::string& text, std::size_t at) {
    std::size_t i = 0;
    while (i < at) {
        const auto byte = static_cast<unsigned char>(text[i]);
#ifdef _WIN32
        i += IsDBCSLeadByteEx(932, byte) ? 2 : 1;
#else
        i += byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
#endif
    }
    return i == at;
}

// Whether `shortened` is `text`, its start, or its start and end around "...", each cut
// between two characters.
::testing::AssertionResult CutBetweenCharacters(const std::string& text,
                                                const std::string& shortened) {
    const std::size_t cut = shortened.find("...");
    const std::string head = shortened.substr(0, cut);
    const std::string tail = cut == std::string::npos ? "" : shortened.substr(cut + 3);
    const std::size_t tailStart = text.size() - std::min(tail.size(), text.size());
    if (text.compare(0, head.size(), head) == 0 && StartsCharacter(text, head.size()) &&
        text.compare(tailStart, std::string::npos, tail) == 0 && StartsCharacter(text, tailStart)) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << shortened.size() << " bytes cut through a character";
}

// Every length of path that crosses a cut point, shortened every way the library shortens.
TEST(MessageTextTest, CutsFallBetweenCharactersInCodePage932) {
    if (KanjiAndKana(1).empty()) {
        GTEST_SKIP() << "the system's code page has no kanji";
    }
    test::ScratchSettings scratch;
    const auto settings = scratch.Open();
    Library library(*settings);
    library.CreatePackage("");
    test::TempFolder folder;
    for (std::size_t characters = 10; characters <= 140; ++characters) {
        SCOPED_TRACE(std::to_string(characters) + " characters");
        const std::string path = "C:\\" + KanjiAndKana(characters) + "\\";
        const std::string quoted = Quote(path);
        EXPECT_TRUE(CutBetweenCharacters(path, quoted.substr(1, quoted.size() - 2)));
        for (const std::size_t size : {20, 31, 32, 33, 64, 65, 100, 101}) {
            EXPECT_TRUE(CutBetweenCharacters(path, CutMiddle(path, size)));
        }
        char buffer[256] = {};
        CopyMessage(path + path, buffer, 100);
        EXPECT_TRUE(CutBetweenCharacters(path + path, buffer));
        // As the author reads it: the add of a source folder that is not there.
        const std::string source = folder.Text() + KanjiAndKana(characters) + "\\";
        const std::string message =
            library.AddToPackage({source, "Shop", "", std::nullopt}).message();
        const std::size_t open = message.find('"');
        const std::string inQuotes =
            message.substr(open + 1, message.find('"', open + 1) - open - 1);
        EXPECT_TRUE(CutBetweenCharacters(source, inQuotes)) << message;
    }
}

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

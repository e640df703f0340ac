#include "creation/CodePageText.h"

#include <gtest/gtest.h>

#include "creation/MessageFit.h"
#include "creation/tests/Fakes.h"

namespace kitwright {
namespace {

using ::kitwright::testing::CallLog;
using ::kitwright::testing::RecordingPlatform;

class CodePageTextTest : public ::testing::Test {
protected:
    CallLog log;
    RecordingPlatform platform{log};  // Latin-1, with one lead byte when set
};

TEST_F(CodePageTextTest, ATextTheCodePageHoldsConvertsByteForByte) {
    EXPECT_EQ(ToCodePageExactly(platform, L"Caf\u00E9 \\ Shop").bytes, "Caf\xE9 \\ Shop");
    EXPECT_TRUE(ToCodePageExactly(platform, L"").exact());
    platform.leadBytes = {0x83};
    const CodePageText so = ToCodePageExactly(platform, platform.WideText("A\\\x83\x5C"));
    EXPECT_TRUE(so.exact());
    EXPECT_EQ(so.bytes, "A\\\x83\x5C");
}

// Converting is all or nothing: the first character that the code page lacks is named.
TEST_F(CodePageTextTest, TheFirstCharacterTheCodePageLacksIsNamedAndNothingIsKept) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"x\uFF3Cy", L"\uFF3C (U+FF3C)"},  // fullwidth backslash, best fit '\'
        {L"a\uFF0Fb", L"\uFF0F (U+FF0F)"},  // fullwidth solidus
        {L"a\u2215b", L"\u2215 (U+2215)"},  // division slash
        {L"\u2024", L"\u2024 (U+2024)"},    // one dot leader
        {L"\uFB01le", L"\uFB01 (U+FB01)"},  // the fi ligature
        {L"\u0416\u0438\u043B\u043E\u0439", L"\u0416 (U+0416)"},
        {L"Caf\u00E9 \u8868\u0416", L"\u8868 (U+8868)"},
    };
    for (const auto& [text, named] : cases) {
        const CodePageText converted = ToCodePageExactly(platform, text);
        EXPECT_FALSE(converted.exact());
        EXPECT_EQ(converted.bytes, "");
        EXPECT_EQ(CharacterWithCode(converted.unstorable), named);
    }
}

TEST_F(CodePageTextTest, ACharacterBeyondTheFirstPlaneIsNamedWhole) {
    std::wstring emoji;
    if constexpr (sizeof(wchar_t) == 2) {
        emoji = {static_cast<wchar_t>(0xD83D), static_cast<wchar_t>(0xDE82)};
    } else {
        emoji = {static_cast<wchar_t>(0x1F682)};
    }
    const CodePageText converted = ToCodePageExactly(platform, L"Loco " + emoji);
    EXPECT_EQ(CharacterWithCode(converted.unstorable), emoji + L" (U+1F682)");
}

TEST(CodePageName, NamesTheCodePagesAuthorsMeet) {
    EXPECT_EQ(CodePageName(1252), L"Windows-1252");
    EXPECT_EQ(CodePageName(932), L"Shift-JIS, 932");
    EXPECT_EQ(CodePageName(65001), L"UTF-8");
    EXPECT_EQ(CodePageName(20127), L"code page 20127");
}

TEST(MessageFit, LongTextIsShortenedInItsMiddleAndShortTextKept) {
    EXPECT_EQ(ShortenMiddle(L"C:\\Sim", 10), L"C:\\Sim");
    EXPECT_EQ(ShortenMiddle(L"abcdefghijkl", 7), L"abc\u2026jkl");
    const std::wstring longName(260, L'a');
    EXPECT_EQ(Columns(ShortenMiddle(longName)), kQuotedColumns);
    // Wide characters count twice, so a name in Japanese keeps half as many.
    const std::wstring kana(100, L'\u30BD');
    const std::wstring shortened = ShortenMiddle(kana);
    EXPECT_LE(Columns(shortened), kQuotedColumns);
    EXPECT_GE(Columns(shortened), kQuotedColumns - 2);
    EXPECT_EQ(shortened.find(L'\u2026'), shortened.size() / 2);
}

TEST(MessageFit, LongRunsAreWrappedNeverCut) {
    EXPECT_EQ(BreakLongRuns(L"a few short words", 5), L"a few short words");
    EXPECT_EQ(BreakLongRuns(L"x abcdefgh y", 3), L"x abc\ndef\ngh y");
    const std::wstring path = L"Cannot write C:\\" + std::wstring(300, L'p') + L" (denied).";
    std::wstring wrapped = BreakLongRuns(path);
    EXPECT_GT(wrapped.size(), path.size());
    wrapped.erase(std::remove(wrapped.begin(), wrapped.end(), L'\n'), wrapped.end());
    EXPECT_EQ(wrapped, path);
}

}  // namespace
}  // namespace kitwright

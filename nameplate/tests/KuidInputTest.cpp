#include "nameplate/KuidInput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace nameplate {
namespace {

TEST(KuidInputTest, AcceptsPositiveWholeNumbers) {
    EXPECT_EQ(ParseKuid("1").kuid, 1);
    EXPECT_EQ(ParseKuid(" 414243 ").kuid, 414243);
    EXPECT_EQ(ParseKuid("007").kuid, 7);
    EXPECT_EQ(ParseKuid("2147483647").kuid, kLargestKuid);
    EXPECT_TRUE(ParseKuid("2147483647").problem.empty());
}

TEST(KuidInputTest, RefusesEverythingElseWithAReason) {
    for (const char* text : {"", "   ", "0", "000", "-1", "-5", "+5", "12a", "1.5", "1 2",
                             "2147483648", "99999999999999999999", "abc"}) {
        const KuidInput input = ParseKuid(text);
        EXPECT_FALSE(input.valid) << '"' << text << '"';
        EXPECT_NE(input.problem.find("from 1 to 2147483647"), std::string::npos) << text;
    }
    EXPECT_NE(ParseKuid("abc").problem.find("\"abc\" is not a creator identifier"),
              std::string::npos);
}

TEST(KuidInputTest, AcceptsTheTaggedFormsInAnyCase) {
    EXPECT_EQ(ParseKuid("kuid:523456").kuid, 523456);
    EXPECT_EQ(ParseKuid("KUID:523456").kuid, 523456);
    EXPECT_EQ(ParseKuid("Kuid:7").kuid, 7);
    EXPECT_EQ(ParseKuid("kuid:007").kuid, 7);
    EXPECT_EQ(ParseKuid("<kuid:523456>").kuid, 523456);
    EXPECT_EQ(ParseKuid("<kUiD:2147483647>").kuid, kLargestKuid);
    EXPECT_EQ(ParseKuid(" \t<kuid:523456> \r\n").kuid, 523456);
    EXPECT_EQ(ParseKuid("  kuid:1  ").kuid, 1);
    EXPECT_TRUE(ParseKuid("<KUID:414243>").valid);
    EXPECT_TRUE(ParseKuid("<KUID:414243>").problem.empty());
}

// The tag changes only how the number is written: its range and its digits stay the same.
TEST(KuidInputTest, RefusesTaggedTextThatIsNotExactlyOneOfTheForms) {
    const std::vector<std::vector<const char*>> groups = {
        {"kuid:", "<kuid:>", "<>", "kuid", "kuid5", "523456kuid:"},
        {"kuid:0", "<kuid:0>", "kuid:-5", "kuid:+5", "kuid:12a", "kuid:2147483648",
         "<kuid:99999999999>"},
        {"<523456>", "<kuid:523456", "kuid:523456>", "<<kuid:5>>", "[kuid:5]", "\"kuid:5\""},
        {"kuid :5", "kuid: 5", "< kuid:5 >", "<kuid:5 >", "kuid:5 kuid:6", "kuid:kuid:5"},
        // a second number, other tags
        {"<kuid:523456:1001>", "kuid:523456:1001", "kuid2:523456", "ku:5", "kuidd:5"},
    };
    for (const auto& group : groups) {
        for (const char* text : group) {
            const KuidInput input = ParseKuid(text);
            EXPECT_FALSE(input.valid) << text;
            EXPECT_EQ(input.kuid, 0) << text;
            EXPECT_NE(input.problem.find("from 1 to 2147483647"), std::string::npos) << text;
        }
    }
}

TEST(KuidInputTest, ARefusalQuotesTheTypedTextAndNamesTheAcceptedForms) {
    const KuidInput tagged = ParseKuid("  <kuid:12a>  ");
    EXPECT_NE(tagged.problem.find("\"<kuid:12a>\" is not a creator identifier"), std::string::npos)
        << tagged.problem;
    for (const char* text : {"", "abc", "kuid:0", "<kuid:523456:1001>"}) {
        const std::string problem = ParseKuid(text).problem;
        EXPECT_NE(problem.find("523456, kuid:523456 or <kuid:523456>"), std::string::npos)
            << problem;
    }
    EXPECT_EQ(ParseKuid(" ").problem.rfind("Please enter your creator identifier (KUID).", 0), 0u);
}

// Typed through an input method, digits may come fullwidth or in the author's script: each is
// the digit it stands for. Anything else outside ASCII is named, never read as a look-alike.
TEST(KuidInputTest, DigitsOfEveryScriptCountAndOtherCharactersAreNamed) {
    EXPECT_EQ(ParseKuid(std::wstring(L"\uFF15\uFF12\uFF13\uFF14\uFF15\uFF16")).kuid, 523456);
    EXPECT_EQ(ParseKuid(std::wstring(L"\u0665\u0662\u0663")).kuid, 523);  // Arabic-Indic
    EXPECT_EQ(ParseKuid(std::wstring(L"<kuid:\u0967\u0968>")).kuid, 12);  // Devanagari
    EXPECT_EQ(ParseKuid(std::wstring(L" 41\uFF14243 ")).kuid, 414243);
    EXPECT_FALSE(ParseKuid(std::wstring(L"\uFF12147483648")).valid) << "still in range";

    const std::pair<const wchar_t*, const char*> refused[] = {
        {L"52\u00B2", "\xC2\xB2 (U+00B2)"},  // superscript two: no decimal digit
        {L"\u00BD", "\xC2\xBD (U+00BD)"},    // one half
        {L"\uFF4B\uFF55\uFF49\uFF44:5", "\xEF\xBD\x8B (U+FF4B)"},  // a fullwidth tag
        {L"\u0416", "\xD0\x96 (U+0416)"},
    };
    for (const auto& [typed, named] : refused) {
        const KuidInput input = ParseKuid(std::wstring(typed));
        EXPECT_FALSE(input.valid) << named;
        EXPECT_NE(
            input.problem.find(std::string("The character ") + named + " is not part of one."),
            std::string::npos)
            << input.problem;
        EXPECT_NE(input.problem.find("from 1 to 2147483647"), std::string::npos);
    }
    const KuidInput letters = ParseKuid(std::wstring(L"\uFF15x"));
    EXPECT_NE(letters.problem.find("\"\xEF\xBC\x95x\" is not a creator identifier"),
              std::string::npos)
        << "quoted as typed: " << letters.problem;
}

}  // namespace
}  // namespace nameplate

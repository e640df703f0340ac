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

}  // namespace
}  // namespace nameplate

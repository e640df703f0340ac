#include "nameplate/KuidInput.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace nameplate

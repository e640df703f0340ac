#include "creation/PathRules.h"

#include <gtest/gtest.h>

namespace kitwright {
namespace {

TEST(PathRulesTest, WindowsPathLimitIs259Characters) {
    EXPECT_TRUE(FitsWindowsPath(std::string(259, 'a')));
    EXPECT_FALSE(FitsWindowsPath(std::string(260, 'a')));
}

}  // namespace
}  // namespace kitwright

// The refusal table itself; what its rules refuse is tested through Create and the hint.
#include "creation/Refusals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace kitwright {
namespace {

TEST(RefusalsTest, RulesComeInTheOrderOfTheirMoments) {
    const std::vector<Moment> moments = RuleMoments();
    EXPECT_TRUE(std::is_sorted(moments.begin(), moments.end()));
}

}  // namespace
}  // namespace kitwright

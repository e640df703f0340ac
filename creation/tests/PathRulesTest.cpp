#include "creation/PathRules.h"

#include <gtest/gtest.h>

namespace kitwright {
namespace {

TEST(PathRulesTest, OrdinaryAndNestedNamesStayInside) {
    for (const char* name : {"Shop", "A\\B", "Shops\\Corner\\Left", "v1.2", "My Shop", ".hidden",
                             "A\\B\\", "Shop*", "Why?"}) {
        EXPECT_TRUE(StaysInsideFolder(name)) << name;
    }
}

TEST(PathRulesTest, NamesThatResolveElsewhereAreRefused) {
    for (const char* name :
         {"", "\\Shop", "/Shop", "\\\\server\\share", "C:", "C:Shop", "c:\\x", ".", "..",
          "..\\Track", "A\\..", "A/../..", "A\\.\\B", " ", "A\\ \\B", "...", ". ", ".. "}) {
        EXPECT_FALSE(StaysInsideFolder(name)) << '"' << name << '"';
    }
}

TEST(PathRulesTest, WindowsPathLimitIs259Characters) {
    EXPECT_TRUE(FitsWindowsPath(std::string(259, 'a')));
    EXPECT_FALSE(FitsWindowsPath(std::string(260, 'a')));
}

}  // namespace
}  // namespace kitwright

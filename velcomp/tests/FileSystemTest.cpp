#include "velcomp/platform/FileSystem.h"

#include <gtest/gtest.h>

#include "velcomp/tests/TestFolders.h"

namespace velcomp {

namespace fs = std::filesystem;
namespace {

using test::ReadFile;
using test::WriteFile;

TEST(FileSystemTest, BackslashSeparatesFolders) {
    const fs::path path = PathFromText("base\\A\\B\\config.txt");
    EXPECT_EQ(path.filename(), "config.txt");
    EXPECT_EQ(path.parent_path().filename(), "B");
    EXPECT_EQ(TextFromPath(PathFromText("Caf\xE9")), "Caf\xE9");
}

TEST(FileSystemTest, MoveNeverReplacesAnExistingFile) {
    test::TempFolder folder;
    WriteFile(folder.path() / "new", "new");
    WriteFile(folder.path() / "old", "old");
    EXPECT_TRUE(MoveWithoutReplacing(folder.path() / "new", folder.path() / "old"));
    EXPECT_EQ(ReadFile(folder.path() / "old"), "old");
    EXPECT_EQ(ReadFile(folder.path() / "new"), "new");

    EXPECT_FALSE(MoveWithoutReplacing(folder.path() / "new", folder.path() / "moved"));
    EXPECT_EQ(ReadFile(folder.path() / "moved"), "new");
    EXPECT_FALSE(fs::exists(folder.path() / "new"));
}

}  // namespace
}  // namespace velcomp

#include "velcomp/os/FileSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

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

TEST(FileSystemTest, ANewFileNeverReplacesOneAndAppearsWithAllItHolds) {
    test::TempFolder folder;
    const fs::path file = folder.path() / "record";
    ASSERT_FALSE(WriteNewFile(file, "first"));
    EXPECT_TRUE(IsExistsError(WriteNewFile(file, "second")));
    EXPECT_EQ(ReadFile(file), "first");
    ASSERT_FALSE(AppendToFile(file, " and more"));
    EXPECT_EQ(ReadFile(file), "first and more");
    std::vector<FolderEntry> entries;
    ASSERT_FALSE(ListFolder(folder.path(), entries));
    EXPECT_EQ(entries.size(), 1u) << "no file of the write's own is left beside it";
}

// A claimant holds a plain file exclusively, removes it when done unless told not to, and
// never takes a folder for one.
TEST(FileSystemTest, AFileIsTakenByOneClaimantAtATime) {
    test::TempFolder folder;
    const fs::path lock = folder.path() / "lock";
    std::unique_ptr<FileClaim> first;
    std::unique_ptr<FileClaim> second;
    TakeOutcome outcome = TakeOutcome::kTaken;
    std::string found;
    ASSERT_FALSE(TakeFile(lock, first, outcome, found));
    EXPECT_EQ(outcome, TakeOutcome::kGone);

    WriteFile(lock, "held");
    ASSERT_FALSE(TakeFile(lock, first, outcome, found));
    ASSERT_EQ(outcome, TakeOutcome::kTaken);
    EXPECT_EQ(found, "held");
    ASSERT_FALSE(first->Append(", noted"));
    ASSERT_FALSE(TakeFile(lock, second, outcome, found));
    EXPECT_EQ(outcome, TakeOutcome::kBusy);
    first->LeaveInPlace();
    first.reset();
    EXPECT_EQ(ReadFile(lock), "held, noted");

    ASSERT_FALSE(TakeFile(lock, second, outcome, found));
    ASSERT_EQ(outcome, TakeOutcome::kTaken);
    second.reset();
    EXPECT_FALSE(fs::exists(lock));

    fs::create_directory(lock);
    ASSERT_FALSE(TakeFile(lock, first, outcome, found));
    EXPECT_EQ(outcome, TakeOutcome::kNotAFile);
    EXPECT_TRUE(fs::is_directory(lock));
}

// What tells an edit even when the size and the last write are put back, as `touch -r` does.
TEST(FileSystemTest, AnEditShowsInTheStampWhateverItPutsBack) {
    test::TempFolder folder;
    const fs::path file = folder.path() / "mesh.obj";
    WriteFile(file, "o box");
    EntryInfo before;
    ASSERT_FALSE(Identify(file, before));
    EXPECT_NE(before.stamp.id, 0u);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    test::RewriteKeepingTime(file, "o bix");
    EntryInfo after;
    ASSERT_FALSE(Identify(file, after));
    EXPECT_EQ(after.stamp.size, before.stamp.size);
    EXPECT_EQ(after.stamp.modified, before.stamp.modified);
    EXPECT_NE(after.stamp, before.stamp);
    std::vector<FolderEntry> listed;
    ASSERT_FALSE(ListFolder(folder.path(), listed));
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].info.stamp, after.stamp) << "a listing gives the stamp a look gives";
}

// Every call takes paths far longer than the 260 characters of Windows' plain calls.
TEST(FileSystemTest, PathsOfAnyLengthAreMadeListedMovedAndRemoved) {
    test::TempFolder folder;
    fs::path deep = folder.path();
    for (const char part : {'a', 'b', 'c'}) {
        deep /= std::string(200, part);
        ASSERT_FALSE(MakeFolder(deep));
    }
    ASSERT_TRUE(IsExistsError(MakeFolder(deep)));
    ASSERT_FALSE(WriteNewFile(deep / "file.txt", "deep"));
    EntryInfo info;
    ASSERT_FALSE(Identify(deep / "file.txt", info));
    EXPECT_EQ(info.kind, EntryKind::kFile);
    EXPECT_EQ(info.stamp.size, 4u);
    ASSERT_FALSE(MoveWithoutReplacing(deep / "file.txt", deep / "moved.txt"));
    std::string read;
    ASSERT_FALSE(ReadSmallFile(deep / "moved.txt", 100, read));
    EXPECT_EQ(read, "deep");
    std::vector<FolderEntry> entries;
    ASSERT_FALSE(ListFolder(deep, entries));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "moved.txt");
    EXPECT_FALSE(RemoveEntry(deep / "moved.txt"));
    for (; deep != folder.path(); deep = deep.parent_path()) {
        EXPECT_FALSE(RemoveEntry(deep));
    }
    EXPECT_TRUE(fs::is_empty(folder.path()));
}

}  // namespace
}  // namespace velcomp

#include "velcomp/platform/posix/FolderSettingsStore.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <vector>

#include "velcomp/CreatorIdentity.h"
#include "velcomp/tests/TestFolders.h"

namespace velcomp {

namespace fs = std::filesystem;
namespace {

TEST(FolderSettingsStoreTest, ReadsWhatItWroteAndTellsTheKindApart) {
    test::TempFolder folder;
    FolderSettingsStore store(folder.path() / "settings");
    EXPECT_EQ(store.Read("CreatorKUID").kind, StoredValue::Kind::kAbsent);
    ASSERT_TRUE(store.WriteNumber("CreatorKUID", 0x01020304).ok());
    const StoredValue number = store.Read("CreatorKUID");
    EXPECT_EQ(number.kind, StoredValue::Kind::kNumber);
    EXPECT_EQ(number.bytes, std::string("\x04\x03\x02\x01", 4));
    ASSERT_TRUE(store.WriteRaw("CreatorKUID", false, "text").ok());
    EXPECT_EQ(store.Read("CreatorKUID").kind, StoredValue::Kind::kOther);
    EXPECT_EQ(store.Read("CreatorKUID").bytes, "text");
}

TEST(FolderSettingsStoreTest, AFolderInTheWayMakesTheValueUnreadableNotAbsent) {
    test::TempFolder folder;
    fs::create_directories(folder.path() / "NextAssetNumber");
    FolderSettingsStore store(folder.path());
    EXPECT_EQ(store.Read("NextAssetNumber").kind, StoredValue::Kind::kUnreadable);
    std::int32_t number = 0;
    EXPECT_FALSE(TakeAssetNumber(store, number).ok());
}

// Several processes take numbers at once; together they must never take one twice.
TEST(FolderSettingsStoreTest, ProcessesTakingNumbersAtOnceNeverShareOne) {
    test::TempFolder folder;
    constexpr int kProcesses = 4;
    constexpr int kEach = 50;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t child = fork();
        if (child == 0) {
            FolderSettingsStore store(folder.path() / "settings");
            std::ofstream out(folder.path() / ("taken-" + std::to_string(p)));
            for (int i = 0; i < kEach; ++i) {
                std::int32_t number = 0;
                if (TakeAssetNumber(store, number).ok()) {
                    out << number << "\n";
                }
            }
            out.close();
            _exit(0);
        }
        children.push_back(child);
    }
    for (const pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::vector<int> all;
    for (int p = 0; p < kProcesses; ++p) {
        std::ifstream in(folder.path() / ("taken-" + std::to_string(p)));
        for (int number = 0; in >> number;) {
            all.push_back(number);
        }
    }
    std::sort(all.begin(), all.end());
    ASSERT_EQ(all.size(), static_cast<std::size_t>(kProcesses * kEach));
    for (std::size_t i = 0; i < all.size(); ++i) {
        ASSERT_EQ(all[i], static_cast<int>(i + 1));
    }
}

}  // namespace
}  // namespace velcomp

#include "velcomp/os/posix/FolderSettingsStore.h"

#include <gtest/gtest.h>
#include <signal.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <functional>
#include <vector>

#include "velcomp/AssetNumbers.h"
#include "velcomp/CreatorIdentity.h"
#include "velcomp/tests/ProbeProcess.h"
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

// A folder or a pipe in a value's place: read at once, never waited on, and said to be
// unreadable rather than damaged, which would invite the author to reset the counter.
TEST(FolderSettingsStoreTest, AnythingButAFileInAValuesPlaceIsUnreadableAndNeverWaitedOn) {
    test::TempFolder folder;
    fs::create_directories(folder.path() / "NextAssetNumber");
    ASSERT_EQ(::mkfifo((folder.path() / "CreatorKUID").c_str(), 0600), 0);
    FolderSettingsStore store(folder.path());
    alarm(20);  // a read that waits for a writer ends the test instead of hanging it
    EXPECT_EQ(store.Read("NextAssetNumber").kind, StoredValue::Kind::kUnreadable);
    std::int32_t number = 0;
    const Result counter = TakeAssetNumber(store, number);
    EXPECT_EQ(counter.message(), "The asset counter (NextAssetNumber in " + folder.path().string() +
                                     ") cannot be read (it is not a plain file), so no asset "
                                     "number was given.");
    std::int32_t kuid = 0;
    const Result identity = CreatorKuidForNewAsset(store, kuid);
    alarm(0);
    EXPECT_EQ(identity.message(), "The creator identifier (CreatorKUID in " +
                                      folder.path().string() +
                                      ") cannot be read (it is not a plain file).");
}

// Run out of file handles, the store says so, not that the counter is damaged.
TEST(FolderSettingsStoreTest, TooFewFileHandlesAreNamedAsTheReason) {
    if (test::kSanitized) {
        GTEST_SKIP() << "the sanitizers' own checks need file handles that this test takes away";
    }
    test::TempFolder folder;
    ASSERT_TRUE(FolderSettingsStore(folder.path()).WriteNumber("NextAssetNumber", 5).ok());
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    const pid_t child = fork();
    if (child == 0) {
        FolderSettingsStore store(folder.path());
        const rlimit few{64, 64};
        setrlimit(RLIMIT_NOFILE, &few);
        std::vector<int> held;  // every handle taken but for the lock's
        for (int fd; (fd = ::open("/dev/null", O_RDONLY)) >= 0;) {
            held.push_back(fd);
        }
        ::close(held.back());
        std::int32_t number = 0;
        const std::string message = TakeAssetNumber(store, number).message();
        const ssize_t written = write(ends[1], message.data(), message.size());
        _exit(written < 0);
    }
    close(ends[1]);
    char buffer[512] = {};
    const ssize_t read = ::read(ends[0], buffer, sizeof buffer - 1);
    close(ends[0]);
    waitpid(child, nullptr, 0);
    const std::string message(buffer, read > 0 ? static_cast<std::size_t>(read) : 0);
    EXPECT_NE(message.find("(Too many open files)"), std::string::npos) << message;
    EXPECT_EQ(message.find("damaged"), std::string::npos) << message;
}

TEST(FolderSettingsStoreTest, ASettingThatCannotBeSavedSaysWhy) {
    test::TempFolder folder;
    test::WriteFile(folder.path() / "file", "not a folder");
    FolderSettingsStore store(folder.path() / "file" / "settings");
    const Result saved = store.WriteNumber("NextAssetNumber", 2);
    EXPECT_FALSE(saved.ok());
    EXPECT_NE(saved.message().find("(Not a directory)"), std::string::npos) << saved.message();
}

// A value whose place a folder takes cannot be saved; its temporary file is removed again.
TEST(FolderSettingsStoreTest, AFailedSaveLeavesNoTemporaryFile) {
    for (const char* inPlace : {"", "inside"}) {
        test::TempFolder folder;
        fs::create_directories(folder.path() / "NextAssetNumber" / inPlace);
        const Result saved = FolderSettingsStore(folder.path()).WriteNumber("NextAssetNumber", 2);
        EXPECT_FALSE(saved.ok()) << inPlace;
        EXPECT_NE(saved.message().find((folder.path() / "NextAssetNumber").string() + " ("),
                  std::string::npos)
            << saved.message();
        const auto entries = std::distance(fs::directory_iterator(folder.path()), {});
        EXPECT_EQ(entries, 1) << inPlace;
    }
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

// A child process that takes the settings lock, says so through a pipe, runs `whileHeld`
// and ends. Killed and reaped at the end of the test if it is still there.
class LockHolder {
public:
    LockHolder(const fs::path& folder, const std::function<void()>& whileHeld) {
        int ends[2];
        if (pipe(ends) != 0) {
            return;
        }
        pid_ = fork();
        if (pid_ == 0) {
#ifdef __linux__
            prctl(PR_SET_PDEATHSIG, SIGKILL);  // a stopped holder must not outlive a failed test
#endif
            close(ends[0]);
            FolderSettingsStore store(folder);
            store.Exclusively([&] {
                const char held = 'L';
                if (write(ends[1], &held, 1) == 1) {
                    whileHeld();
                }
                return Result::Success();
            });
            _exit(0);
        }
        close(ends[1]);
        char held = 0;
        locked_ = pid_ > 0 && read(ends[0], &held, 1) == 1 && held == 'L';
        close(ends[0]);
    }
    ~LockHolder() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    LockHolder(const LockHolder&) = delete;
    LockHolder& operator=(const LockHolder&) = delete;

    bool locked() const {
        return locked_;
    }

private:
    pid_t pid_ = -1;
    bool locked_ = false;
};

TEST(FolderSettingsStoreTest, AStoppedLockHolderMakesOthersGiveUpNotHang) {
    test::TempFolder folder;
    const fs::path settings = folder.path() / "settings";
    bool ran = false;
    {
        const LockHolder holder(settings, [] { raise(SIGSTOP); });
        ASSERT_TRUE(holder.locked());
        FolderSettingsStore store(settings, std::chrono::milliseconds(300));
        alarm(20);  // a store that waits for ever ends the test instead of hanging it
        const Result busy = store.Exclusively([&] {
            ran = true;
            return Result::Success();
        });
        alarm(0);
        EXPECT_FALSE(busy.ok());
        EXPECT_EQ(busy.message(), "Another program keeps the settings in " + settings.string() +
                                      " busy; please try again.");
        EXPECT_FALSE(ran);
    }
    // With the holder gone the lock is free again.
    FolderSettingsStore store(settings, std::chrono::milliseconds(300));
    EXPECT_TRUE(store
                    .Exclusively([&] {
                        ran = true;
                        return Result::Success();
                    })
                    .ok());
    EXPECT_TRUE(ran);
}

TEST(FolderSettingsStoreTest, ALockHolderThatLetsGoInTimeIsWaitedFor) {
    test::TempFolder folder;
    const fs::path settings = folder.path() / "settings";
    const fs::path done = folder.path() / "holder-done";
    const LockHolder holder(settings, [&] {
        usleep(200 * 1000);
        std::ofstream(done) << "done";
    });
    ASSERT_TRUE(holder.locked());
    FolderSettingsStore store(settings);
    bool sawHolderDone = false;
    const Result result = store.Exclusively([&] {
        sawHolderDone = fs::exists(done);
        return Result::Success();
    });
    EXPECT_TRUE(result.ok()) << result.message();
    EXPECT_TRUE(sawHolderDone) << "the action ran while the other process held the lock";
}

TEST(FolderSettingsStoreTest, WritingRemovesTemporaryFilesOfDeadWritersOnly) {
    test::TempFolder folder;
    const pid_t dead = fork();
    if (dead == 0) {
        _exit(0);
    }
    ASSERT_GT(dead, 0);
    waitpid(dead, nullptr, 0);
    ASSERT_TRUE(kill(dead, 0) != 0 && errno == ESRCH);
    const std::string deadPid = std::to_string(dead);
    const std::string livePid = std::to_string(getpid());

    const std::vector<std::string> removed = {"CreatorKUID.new-" + deadPid + "-0",
                                              "CreatorKUID.new-" + deadPid + "-41"};
    const std::vector<std::string> kept = {
        // A live writer's, perhaps in the middle of its write.
        "CreatorKUID.new-" + livePid + "-999",
        // Another value's, removed when that value is written.
        "NextAssetNumber.new-" + deadPid + "-0",
        // Names the store never makes.
        "CreatorKUID.new-" + deadPid + "-0.keep", "CreatorKUID.new-" + deadPid,
        "CreatorKUID.new-x" + deadPid + "-0", "CreatorKUIDX.new-" + deadPid + "-0",
        "XCreatorKUID.new-" + deadPid + "-0"};
    for (const auto* list : {&removed, &kept}) {
        for (const std::string& name : *list) {
            test::WriteFile(folder.path() / name, "N");
        }
    }

    FolderSettingsStore store(folder.path());
    ASSERT_TRUE(store.WriteNumber("CreatorKUID", 7).ok());
    for (const std::string& name : removed) {
        EXPECT_FALSE(fs::exists(folder.path() / name)) << name;
    }
    for (const std::string& name : kept) {
        EXPECT_TRUE(fs::exists(folder.path() / name)) << name;
    }
    EXPECT_EQ(store.Read("CreatorKUID").bytes, std::string("\x07\0\0\0", 4));

    ASSERT_TRUE(store.WriteNumber("NextAssetNumber", 1).ok());
    EXPECT_FALSE(fs::exists(folder.path() / kept[1]));
    EXPECT_TRUE(fs::exists(folder.path() / kept[0]));
}

}  // namespace
}  // namespace velcomp

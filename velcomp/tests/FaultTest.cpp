// The write-out on a full disk, without inodes, and without the rights it needs. Root
// passes every permission check, so those cases run as the unprivileged user nobody.
#include <fcntl.h>
#include <grp.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <functional>

#include "velcomp/CreatorIdentity.h"
#include "velcomp/Library.h"
#include "velcomp/MessageText.h"
#include "velcomp/WriteSteps.h"
#include "velcomp/os/posix/FolderSettingsStore.h"
#include "velcomp/tests/AssetChecks.h"

namespace velcomp {

namespace fs = std::filesystem;
namespace {

using test::Leftovers;
using test::Snapshot;
using test::TempFolder;
using test::Tree;
using test::WriteFile;

constexpr uid_t kNobody = 65534;

using test::Contains;

// Adds the source as "Shop" and writes it to the destination, with settings of its own;
// the message of the first step that fails, or "" when both succeed.
std::string AddAndWrite(const fs::path& source, const fs::path& destination) {
    TempFolder settingsFolder;
    FolderSettingsStore settings(settingsFolder.path());
    SetCreatorKuid(settings, 77);
    Library library(settings);
    library.CreatePackage("");
    Result result = library.AddToPackage({source.string() + "/", "Shop", "", "BC"});
    if (result) {
        result = library.ExtractFromPackage(destination.string() + "/", "Shop");
    }
    return result ? std::string() : result.message();
}

// Runs `body` in a child process as the user nobody and hands back what it returned.
std::string AsNobody(const std::function<std::string()>& body) {
    int channel[2];
    if (::pipe(channel) != 0) {
        return "<no pipe>";
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        std::string result = "<could not become nobody>";
        if (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0) {
            result = body();
        }
        ::write(channel[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string result;
    char buffer[512];
    for (ssize_t count; (count = ::read(channel[0], buffer, sizeof buffer)) > 0;) {
        result.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    return result;
}

// A small file system of its own, mounted for the test's lifetime.
class SmallDisk {
public:
    SmallDisk(const char* options) {
        mounted_ = ::mount("tmpfs", folder_.path().c_str(), "tmpfs", 0, options) == 0;
    }
    ~SmallDisk() {
        if (mounted_) {
            ::umount2(folder_.path().c_str(), MNT_DETACH);
        }
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return mounted_; }
    const fs::path& path() const { return folder_.path(); }

private:
    TempFolder folder_;
    bool mounted_ = false;
};

class FaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFile(source_.path() / "config.txt", "kind = scenery\r\n");
        WriteFile(source_.path() / "main.obj", "o box\n");
        WriteFile(source_.path() / "textures" / "wall.bmp", std::string(3000, 'w'));
        ::chmod(destination_.path().c_str(), 0777);
    }
    // Everything root does here, nobody could undo: only the root user runs these.
    void RequireRoot() {
        if (::geteuid() != 0) {
            GTEST_SKIP() << "needs root, to mount a small disk or to become nobody";
        }
    }

    TempFolder source_;
    TempFolder destination_;
};

TEST_F(FaultTest, AFullDiskIsReportedAsSuchAndTheAuthorsFolderKept) {
    RequireRoot();
    const struct {
        const char* options;
        int files;
        std::size_t size;
    } disks[] = {{"size=256k", 1, 1024 * 1024}, {"size=8m,nr_inodes=24", 40, 10}};
    for (const auto& disk : disks) {
        SCOPED_TRACE(disk.options);
        SmallDisk small(disk.options);
        ASSERT_TRUE(small.mounted()) << "cannot mount a tmpfs here";
        for (int i = 0; i < disk.files; ++i) {
            WriteFile(source_.path() / "big" / ("part" + std::to_string(i)),
                      std::string(disk.size, 'b'));
        }
        WriteFile(small.path() / "Shop" / "notes.txt", "the author's notes");
        const Tree authors = Snapshot(small.path() / "Shop");

        const std::string message = AddAndWrite(source_.path(), small.path());
        EXPECT_TRUE(Contains(message, "No space left on device")) << message;
        EXPECT_TRUE(Contains(message, (small.path() / "Shop").string())) << message;
        EXPECT_EQ(Snapshot(small.path() / "Shop"), authors);
        EXPECT_EQ(Leftovers(small.path()), std::vector<std::string>{});
        fs::remove_all(source_.path() / "big");
    }
}

TEST_F(FaultTest, MissingRightsAreNamedWithTheFolderConcerned) {
    RequireRoot();
    TempFolder readOnly;  // root's, so nobody may not write in it
    const fs::path locked = destination_.path() / "Locked";
    WriteFile(locked / "Shop" / "notes.txt", "mine");
    ::chmod(locked.c_str(), 0777);
    ::chmod((locked / "Shop").c_str(), 0);
    const fs::path secret = source_.path() / "textures" / "wall.bmp";

    std::string message = AsNobody([&] { return AddAndWrite(source_.path(), readOnly.path()); });
    EXPECT_TRUE(Contains(message, "Permission denied")) << message;
    EXPECT_TRUE(Contains(message, readOnly.path().string())) << message;
    EXPECT_TRUE(Snapshot(readOnly.path()).empty());

    message = AsNobody([&] { return AddAndWrite(source_.path(), locked); });
    EXPECT_TRUE(Contains(message, "Cannot read the folder")) << message;
    EXPECT_TRUE(Contains(message, "Permission denied")) << message;
    ::chmod((locked / "Shop").c_str(), 0755);
    EXPECT_EQ(Snapshot(locked), (Tree{{"Shop", test::kFolderMark}, {"Shop/notes.txt", "mine"}}));

    ::chmod(secret.c_str(), 0);
    message = AsNobody([&] { return AddAndWrite(source_.path(), destination_.path()); });
    EXPECT_TRUE(Contains(message, "Cannot read the source file")) << message;
    EXPECT_TRUE(Contains(message, secret.string())) << message;
    EXPECT_TRUE(Snapshot(destination_.path()).count("Locked/Shop/notes.txt"));
    EXPECT_FALSE(fs::exists(destination_.path() / "Shop"));

    ::chmod((source_.path() / "config.txt").c_str(), 0);
    message = AsNobody([&] { return AddAndWrite(source_.path(), destination_.path()); });
    EXPECT_EQ(message, "The config.txt of \"" + source_.path().string() +
                           "/\" cannot be read (Permission denied).");
}

fs::path g_mountAt;
fs::path g_changeFile;

// At the first copy: a small disk mounted inside the staging folder, which no removal can
// take away while it is mounted, and a source file changed, which fails the write-out.
void MountAndChange(const char* step) {
    if (std::string(step) == "copied" && !g_mountAt.empty() && !fs::exists(g_mountAt)) {
        fs::create_directory(g_mountAt);
        ::mount("tmpfs", g_mountAt.c_str(), "tmpfs", 0, "size=64k");
        WriteFile(g_changeFile, "changed after the add");
    }
}

// The failure and, after it, the working folder that cannot be removed: both are said within
// the 255 bytes of a message, the folder to remove named whole at its end.
TEST_F(FaultTest, AFailureAndWhatCouldNotBeRemovedFitOneMessageWithThePathToRemove) {
    RequireRoot();
    const fs::path destination = destination_.path() / std::string(150, 'x');
    fs::create_directories(destination);
    g_mountAt = destination / "Shop.velcomp-staging" / "files" / "mounted";
    g_changeFile = source_.path() / "textures" / "wall.bmp";
    SetWriteStepHook(MountAndChange);
    const std::string message = AddAndWrite(source_.path(), destination);
    SetWriteStepHook(nullptr);
    const bool mounted = ::umount2(g_mountAt.c_str(), MNT_DETACH) == 0;
    ASSERT_TRUE(mounted) << "cannot mount a tmpfs here";

    const std::string removal =
        "please remove " + QuotePath(g_mountAt) + " (Device or resource busy).";
    EXPECT_LE(message.size(), kMaxMessageLength);
    EXPECT_EQ(message.rfind("The source file \"", 0), 0u) << message;
    ASSERT_GE(message.size(), removal.size()) << message;
    EXPECT_EQ(message.substr(message.size() - removal.size()), removal) << message;

    // Once the disk is gone, the next write-out clears the folder away and writes the asset.
    WriteFile(g_changeFile, std::string(3000, 'w'));
    EXPECT_EQ(AddAndWrite(source_.path(), destination), "");
    EXPECT_EQ(Leftovers(destination), std::vector<std::string>{});
    g_mountAt.clear();
}

}  // namespace
}  // namespace velcomp

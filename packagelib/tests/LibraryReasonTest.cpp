// When the real library cannot write the asset, Kitwright's message gives its reason:
// a full disk, and a folder that cannot be written. The disks are small file systems
// that the test run mounts (small-disks.sh), seen here through drive Z:.
#include <gtest/gtest.h>

#include "packagelib/tests/RealLibrarySession.h"

namespace kitwright::testing {
namespace {

std::string MountedFolder(const char* name) {
    std::string path = std::string("Z:") + KITWRIGHT_SMALL_DISKS + "/" + name;
    for (char& c : path) {
        c = c == '/' ? '\\' : c;
    }
    return path;
}

class LibraryReasonTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Exists(MountedFolder("mounted"))) {
            GTEST_SKIP() << "the small disks are not mounted (the test run needs root)";
        }
    }

    // A Create of "Shop" under the disk's Railvane folder; the one message it showed.
    std::string CreateOn(const char* disk) {
        const RegisteredHost host(MountedFolder(disk) + "\\Railvane");
        FixedForm form("BC Commercial", "Shop", "A shop");
        EXPECT_EQ(CreateAsset(platform, library, form), CreateOutcome::kStayOpen);
        EXPECT_EQ(platform.launches, std::vector<std::string>{});
        EXPECT_EQ(platform.messages.size(), 1u);
        return platform.messages.empty() ? std::string() : platform.messages.back();
    }

    QuietWin32Platform platform;
    DllPackageLibrary library;
};

TEST_F(LibraryReasonTest, AFullDiskIsNamed) {
    const std::string message = CreateOn("full");
    EXPECT_NE(message.find("could not be written"), std::string::npos) << message;
    EXPECT_NE(message.find("The library gives the reason: Cannot write"), std::string::npos)
        << message;
    // Windows says "There is not enough space on the disk", Wine "Disk full".
    EXPECT_TRUE(message.find("space on the disk") != std::string::npos ||
                message.find("Disk full") != std::string::npos)
        << message;
    EXPECT_FALSE(Exists(MountedFolder("full") + "\\Railvane\\World\\Custom\\Scenery\\Shop"));
}

TEST_F(LibraryReasonTest, AFolderThatCannotBeWrittenIsNamed) {
    const std::string message = CreateOn("readonly");
    // A long path is shortened in its middle, so the folder's start and end are what is read,
    // however deep the build folder lies.
    const std::string start = MountedFolder("readonly").substr(0, 20);
    EXPECT_NE(message.find("The library gives the reason: Cannot write in the folder \"" + start),
              std::string::npos)
        << message;
    EXPECT_NE(message.find("\\Railvane\\World\\Custom\\Scenery\" ("), std::string::npos) << message;
}

}  // namespace
}  // namespace kitwright::testing

#include "creation/Locations.h"

#include <gtest/gtest.h>

#include "creation/tests/Fakes.h"

namespace kitwright {
namespace {

using ::kitwright::testing::CallLog;
using ::kitwright::testing::RecordingPlatform;

class LocationsTest : public ::testing::Test {
protected:
    void Register(const std::string& data) {
        platform.machineValues[std::string(kInstallKey) + "|Path"] = data;
    }
    std::string InstallPath(const char* before = "") {
        PathBuffer buffer = {};
        std::strcpy(buffer, before);
        EXPECT_TRUE(GetInstallPath(platform, buffer));
        return buffer;
    }

    CallLog log;
    RecordingPlatform platform{log};
};

TEST_F(LocationsTest, OneTrailingBackslashIsDropped) {
    Register("C:\\Sim\\");
    EXPECT_EQ(InstallPath(), "C:\\Sim");
    Register("C:\\Sim\\\\");
    EXPECT_EQ(InstallPath(), "C:\\Sim\\");
    Register("\\");
    EXPECT_EQ(InstallPath(), "");
}

TEST_F(LocationsTest, MissingValueLeavesTheBufferAsItWas) {
    EXPECT_EQ(InstallPath("previous"), "previous");
    EXPECT_EQ(log, (CallLog{std::string("ReadMachineValue ") + kInstallKey + "|Path"}));
}

TEST_F(LocationsTest, DataWithoutTerminatorIsTerminatedWhenItFits) {
    Register(std::string(259, 'a'));  // no NUL: still fits with one
    EXPECT_EQ(InstallPath(), std::string(259, 'a'));
    Register(std::string("C:\\Sim\0garbage", 14));
    EXPECT_EQ(InstallPath(), "C:\\Sim");
    Register(std::string("\x01\0\0\0", 4));  // a number stored as a value
    EXPECT_EQ(InstallPath("x"), "\x01");
}

TEST_F(LocationsTest, TextThatCannotFitCountsAsAbsent) {
    Register(std::string(260, 'a'));
    EXPECT_EQ(InstallPath("kept"), "kept");
}

TEST_F(LocationsTest, LiveryLoftReadsItsOwnKey) {
    platform.machineValues[std::string(kLiveryLoftKey) + "|Path"] = "D:\\Loft\\";
    PathBuffer buffer = {};
    GetLiveryLoftPath(platform, buffer);
    EXPECT_STREQ(buffer, "D:\\Loft");
}

TEST_F(LocationsTest, FolderOfStopsBeforeTheLastBackslash) {
    EXPECT_EQ(FolderOf(platform, "C:\\Tools\\Kitwright.exe"), "C:\\Tools");
    EXPECT_EQ(FolderOf(platform, "C:\\Kitwright.exe"), "C:");
    EXPECT_EQ(FolderOf(platform, "Kitwright.exe"), "");
}

// "Path" is a list like %PATH%; Wine's own entries end in ';'.
TEST_F(LocationsTest, TheFirstEntryOfAPathListIsTheFolder) {
    Register("C:\\Program Files\\Railvane;");
    EXPECT_EQ(InstallPath(), "C:\\Program Files\\Railvane");
    Register("C:\\Sim\\;D:\\Other");
    EXPECT_EQ(InstallPath(), "C:\\Sim");
    Register("\"C:\\A;B\\\";D:\\");
    EXPECT_EQ(InstallPath(), "C:\\A;B");
    Register(";C:\\Sim");
    EXPECT_EQ(InstallPath("x"), "");
}

// In a double-byte code page the second byte of a character may be 0x5C, the backslash:
// 0x95 0x5C is one character in code page 932, and 0x83 0x5C another.
TEST_F(LocationsTest, ABackslashIsJudgedByCharacterNotByByte) {
    platform.leadBytes = {0x83, 0x95};
    Register("C:\\\x95\x5C");
    EXPECT_EQ(InstallPath(), "C:\\\x95\x5C");
    Register("C:\\\x95\x5C\\");
    EXPECT_EQ(InstallPath(), "C:\\\x95\x5C");
    EXPECT_EQ(FolderOf(platform, "C:\\\x83\x5C\x83\x5C.exe"), "C:");
    EXPECT_EQ(FolderOf(platform, "C:\\\x83\x5C\\Kitwright.exe"), "C:\\\x83\x5C");
}

}  // namespace
}  // namespace kitwright

#include "velcomp/AssetName.h"

#include <gtest/gtest.h>

#include <string>

namespace velcomp {
namespace {

std::wstring Widen(const std::string& ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// Checks both the 8-bit form and the wide form that Windows paths use.
void ExpectAccepted(const std::string& name) {
    EXPECT_TRUE(CheckAssetName(std::string_view(name)).ok()) << name;
    EXPECT_TRUE(CheckAssetName(std::wstring_view(Widen(name))).ok()) << name;
}

void ExpectRefused(const std::string& name, const std::string& reason) {
    const Result narrow = CheckAssetName(std::string_view(name));
    const Result wide = CheckAssetName(std::wstring_view(Widen(name)));
    EXPECT_FALSE(narrow.ok()) << name;
    EXPECT_NE(narrow.message().find(reason), std::string::npos) << name << ": " << narrow.message();
    EXPECT_EQ(wide.message(), narrow.message()) << name;
}

TEST(AssetNameTest, PlainNestedAndDottedNamesAreAccepted) {
    for (const char* name :
         {"Shop", "A\\B", "Shops\\Corner\\Left", "v1.2", "My Shop", ".hidden", "CONSOLE", "COM0",
          "COM10", "LPT", "NULL.txt\\x", "a b.c d", "AUX_1"}) {
        ExpectAccepted(name);
    }
}

TEST(AssetNameTest, CodePageBytesAreAccepted) {
    EXPECT_TRUE(CheckAssetName(std::string_view("Caf\xE9\\Gare \xC0")).ok());
    EXPECT_TRUE(CheckAssetName(std::wstring_view(L"\u6771\u4EAC\\\u99C5")).ok());
}

TEST(AssetNameTest, PathsThatLeaveTheDestinationAreRefused) {
    ExpectRefused("", "empty");
    ExpectRefused("\\\\server\\share", "network path");
    ExpectRefused("//server/share", "network path");
    ExpectRefused("\\Shop", "root of a drive");
    ExpectRefused("/Shop", "root of a drive");
    ExpectRefused("C:", "names a drive");
    ExpectRefused("c:\\Shop", "names a drive");
    ExpectRefused("C:Shop", "names a drive");
    for (const char* name : {".", "..", "A\\..", "..\\Track", "A\\.\\B"}) {
        ExpectRefused(name, "the folder name . or ..");
    }
    for (const char* name : {"A\\\\B", "A\\", "A\\B\\"}) {
        ExpectRefused(name, "empty folder name");
    }
}

TEST(AssetNameTest, CharactersWindowsForbidsAreRefused) {
    for (const char c : std::string("<>:\"/|?*")) {
        ExpectRefused(std::string("Sh") + c + "op", std::string("the character ") + c);
    }
    ExpectRefused("Shop\x01", "control character (code 1)");
    ExpectRefused("A\\Sh\top", "control character (code 9)");
    ExpectRefused("Shop\x1F", "control character (code 31)");
}

TEST(AssetNameTest, DeviceNamesAreRefusedInAnySegmentWithAnyExtension) {
    for (const char* name : {"CON", "prn", "Aux", "nul", "COM1", "com9", "LPT1", "lpt9", "CON.txt",
                             "nul.tar.gz", "A\\AUX", "COM3\\B", "LPT2 .x"}) {
        ExpectRefused(name, "device name");
    }
}

TEST(AssetNameTest, SegmentsEndingInDotOrSpaceAreRefused) {
    for (const char* name : {"Shop.", "Shop ", "A.\\B", "A \\B", "...", " ", "A\\B..."}) {
        ExpectRefused(name, "ends in a dot or a space");
    }
}

}  // namespace
}  // namespace velcomp

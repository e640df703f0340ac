#include "names/AssetName.h"

#include <gtest/gtest.h>

#include <string>

namespace names {
namespace {

// Code page 1252 and UTF-16 agree on every character these tests use above ASCII.
std::wstring Widen(const std::string& latin1) {
    std::wstring wide;
    for (const char c : latin1) {
        wide += static_cast<wchar_t>(static_cast<unsigned char>(c));
    }
    return wide;
}

// Checks both the 8-bit form and the wide form that Windows paths use.
void ExpectAccepted(const std::string& name) {
    EXPECT_TRUE(CheckAssetName(std::string_view(name)).ok()) << name;
    EXPECT_TRUE(CheckAssetName(std::wstring_view(Widen(name))).ok()) << name;
}

void ExpectRefused(const std::string& name, const std::string& reason) {
    const Verdict narrow = CheckAssetName(std::string_view(name));
    const Verdict wide = CheckAssetName(std::wstring_view(Widen(name)));
    EXPECT_FALSE(narrow.ok()) << name;
    EXPECT_NE(narrow.message().find(reason), std::string::npos) << name << ": " << narrow.message();
    EXPECT_EQ(wide.message(), narrow.message()) << name;
}

TEST(AssetNameTest, PlainNestedAndDottedNamesAreAccepted) {
    for (const char* name : {"Shop", "A\\B", "Shops\\Corner\\Left", "v1.2", "My Shop", ".hidden",
                             "CONSOLE", "COM10", "LPT", "NULL.txt\\x", "a b.c d", "AUX_1"}) {
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

TEST(AssetNameTest, ZeroSuperscriptAndConsoleDeviceNamesAreRefused) {
    for (const char* name : {"COM0", "lpt0", "COM\xB9", "com\xB2", "COM\xB3", "LPT\xB9", "Lpt\xB2",
                             "LPT\xB3", "CONIN$", "conin$", "CONOUT$", "ConOut$", "COM\xB9.txt",
                             "LPT0  .a.b", "CONIN$.x", "CONOUT$ ", "A\\LPT\xB3\\B", "COM0 "}) {
        ExpectRefused(name,
                      "device name that Windows reserves (CON, PRN, AUX, NUL, CONIN$, "
                      "CONOUT$, COM0-9 and LPT0-9, also with a superscript 1, 2 or 3)");
    }
}

TEST(AssetNameTest, NamesCloseToDeviceNamesAreAccepted) {
    // 0xB4 and 0xBC sit beside the superscripts in code page 1252 but are not digits.
    for (const char* name : {"COM\xB4", "LPT\xBC", "COM\xB9\xB9", "COM1\xB9",
                             "\xB9"
                             "COM",
                             "CONIN", "CONOUT", "CONIN$$", "CONOUT$X", "$CONIN", "CON$", "COMA",
                             "LPT\xB2x", "xCONOUT$", "NUL0", "AUX1"}) {
        ExpectAccepted(name);
    }
}

TEST(AssetNameTest, TheLibrarysWorkingSuffixesAreRefusedInAnyFolder) {
    const std::string reason = std::string("ends in ") + kStagingSuffix + " or " + kLockSuffix +
                               ", which the library reserves";
    for (const char* name :
         {"Shop.velcomp-staging", "Shop.velcomp-lock", ".velcomp-lock",
          "Shops\\Corner.VELCOMP-Staging\\x", "A\\b.Velcomp-LOCK", "x.tar.velcomp-staging"}) {
        ExpectRefused(name, reason);
    }
    for (const char* name : {"Shop.velcomp-staging2", "Shop.velcomp-stagin", "Shopvelcomp-lock",
                             "Shop.velcomp-lock.old", "velcomp-staging", ".velcomp-lockx"}) {
        ExpectAccepted(name);
    }
}

// Windows allows 255 characters in a folder name; the last one of an asset name leaves room
// for the library's working items named after it beside the asset.
TEST(AssetNameTest, FolderNamesUpToTheirLimitsAreAccepted) {
    ASSERT_EQ(kMaxLastFolderNameLength, 237u);
    ExpectAccepted(std::string(237, 'a'));
    ExpectAccepted(std::string(255, 'a') + "\\B");
    ExpectAccepted("A\\" + std::string(255, '\xE9') + "\\" + std::string(237, '\xE9'));
    ExpectAccepted(std::string(200, 'a') + "\\" + std::string(200, 'b'));
    ExpectRefused(std::string(238, 'a'), "last folder name is longer than 237 characters");
    ExpectRefused("A\\" + std::string(255, 'b'), "last folder name is longer than 237 characters");
    ExpectRefused(std::string(256, 'a') + "\\B", "longer than 255 characters");
    // Wide names count UTF-16 units, as Windows does.
    EXPECT_TRUE(CheckAssetName(std::wstring_view(std::wstring(237, L'\u6771'))).ok());
    EXPECT_FALSE(CheckAssetName(std::wstring_view(std::wstring(238, L'\u6771'))).ok());
    EXPECT_FALSE(CheckAssetName(std::wstring_view(std::wstring(256, L'\u6771') + L"\\B")).ok());
}

TEST(AssetNameTest, SegmentsEndingInDotOrSpaceAreRefused) {
    for (const char* name : {"Shop.", "Shop ", "A.\\B", "A \\B", "...", " ", "A\\B..."}) {
        ExpectRefused(name, "ends in a dot or a space");
    }
}

TEST(PathLengthTest, WindowsPathLimitIs259Characters) {
    EXPECT_TRUE(FitsWindowsPath(std::string(259, 'a')));
    EXPECT_FALSE(FitsWindowsPath(std::string(260, 'a')));
}

}  // namespace
}  // namespace names

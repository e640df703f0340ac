// Under a Japanese code page (932) the second byte of a character may be 0x5C, the
// backslash: such characters must not be cut, split or refused. Run with the Japanese
// locale, which gives Wine code page 932.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include "packagelib/tests/RealLibrarySession.h"

namespace kitwright::testing {
namespace {

// 表 (0x95 0x5C), ソ (0x83 0x5C) and ポ (0x83 0x7C, whose second byte is '|').
constexpr char kTable[] = "\x95\x5C";
constexpr char kSo[] = "\x83\x5C";
constexpr char kPo[] = "\x83\x7C";

void RemoveTree(const std::string& folder) {
    SHFILEOPSTRUCTA operation = {};
    const std::string from = folder + '\0';
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&operation);
}

TEST(CodePage932Test, ARootAndNamesWithBackslashBytesAreKeptWhole) {
    ASSERT_EQ(GetACP(), 932u) << "run with LC_ALL=ja_JP.UTF-8";
    const std::string root = std::string("C:\\") + kTable;
    ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)
        << GetLastError();
    QuietWin32Platform platform;
    for (const std::string& registered : {root, root + "\\"}) {
        const RegisteredHost host(registered);
        PathBuffer read = {};
        GetInstallPath(platform, read);
        EXPECT_EQ(std::string(read), root);  // at most the trailing backslash went, 表 stayed
    }
    const RegisteredHost host(root);
    DllPackageLibrary library;
    for (const std::string& name : {std::string(kSo), std::string(kPo), std::string("A\\") + kSo}) {
        SCOPED_TRACE(name);
        FixedForm form("BC Commercial", name, "A shop");
        platform.launches.clear();
        EXPECT_EQ(CreateAsset(platform, library, form), CreateOutcome::kClose);
        EXPECT_EQ(platform.messages, std::vector<std::string>{});
        const std::string asset = root + "\\World\\Custom\\Scenery\\" + name;
        EXPECT_TRUE(Exists(asset + "\\config.txt")) << asset;
        EXPECT_EQ(platform.launches, std::vector<std::string>{"explorer.exe /e," + asset});
    }
    RemoveTree(root);
}

}  // namespace
}  // namespace kitwright::testing

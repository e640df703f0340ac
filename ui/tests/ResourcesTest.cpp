// Kitwright's resources as the program loads them: the class pictures and the version.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/WinApp.h"
#include "res/resource.h"

namespace kitwright::testing {
namespace {

// The class list's pictures sit on a nearly white background: pure white would vanish.
TEST(ClassPictures, AreSixteenPixelsSquareOnAVisibleLightBackground) {
    for (UINT id = IDB_HUMAN; id <= IDB_LOCOMOTIVE; ++id) {
        auto* picture =
            static_cast<HBITMAP>(LoadImageA(framework::AfxGetInstanceHandle(), MAKEINTRESOURCEA(id),
                                            IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        ASSERT_NE(picture, nullptr) << id;
        DIBSECTION dib = {};
        GetObjectA(picture, sizeof dib, &dib);
        EXPECT_EQ(dib.dsBm.bmWidth, 16) << id;
        EXPECT_EQ(dib.dsBm.bmHeight, 16) << id;
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, picture);
        const COLORREF corner = GetPixel(dc, 0, 0);
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(picture);
        EXPECT_NE(corner, RGB(255, 255, 255)) << id;
        EXPECT_GE(std::min({GetRValue(corner), GetGValue(corner), GetBValue(corner)}), 224) << id;
    }
}

std::string VersionValue(const std::vector<char>& block, const char* name) {
    char* value = nullptr;
    UINT size = 0;
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &size)) {
        return "(missing)";
    }
    return std::string(value, size > 0 ? size - 1 : 0);
}

TEST(VersionBlock, NamesKitwrightOneZeroZeroOne) {
    const std::string program = framework::AfxProgramFileName();
    std::vector<char> block(GetFileVersionInfoSizeA(program.c_str(), nullptr));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(
        GetFileVersionInfoA(program.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(1, 0));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(1, 0));
    EXPECT_EQ(VersionValue(block, "FileVersion"), "1, 0, 0, 1");
    EXPECT_EQ(VersionValue(block, "ProductVersion"), "1, 0, 0, 1");
    EXPECT_EQ(VersionValue(block, "ProductName"), "Kitwright");
    EXPECT_EQ(VersionValue(block, "FileDescription"), "Kitwright");
    EXPECT_EQ(VersionValue(block, "InternalName"), "Kitwright");
    EXPECT_EQ(VersionValue(block, "OriginalFilename"), "Kitwright.EXE");
}

}  // namespace
}  // namespace kitwright::testing

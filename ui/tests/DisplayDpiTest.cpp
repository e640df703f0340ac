// Both dialogs at the system DPIs of 100, 150 and 200 per cent. Wine reads the DPI when a
// program starts, so each is run in a program of its own, started with the DPI set.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalogue/ClassTable.h"
#include "creation/Locations.h"
#include "creation/tests/Fakes.h"
#include "framework/SharpPictures.h"
#include "framework/WinApp.h"
#include "ui/tests/DrivenDialog.h"
// After Kitwright's ids, whose IDC_STATIC it leaves alone.
#include "nameplate/resource.h"

namespace kitwright::testing {
namespace {

constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kDpiValue[] = L"LogPixels";
constexpr char kExpectedDpi[] = "KITWRIGHT_EXPECTED_DPI";

int ExpectedDpi() {
    const char* text = std::getenv(kExpectedDpi);
    return text != nullptr ? std::atoi(text) : 0;
}

std::string ScreenshotPath(const std::string& dialog) {
    return KITWRIGHT_BUILD_DIR "/screenshots/" + dialog + "-" + std::to_string(ExpectedDpi()) +
           "dpi.png";
}

// Sets the system DPI that programs started from now on get, and puts back what was there.
class SystemDpi {
public:
    explicit SystemDpi(DWORD dpi) {
        RegCreateKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr);
        DWORD size = sizeof before_;
        had_ = RegQueryValueExW(key_, kDpiValue, nullptr, nullptr,
                                reinterpret_cast<BYTE*>(&before_), &size) == ERROR_SUCCESS;
        Set(dpi);
    }
    ~SystemDpi() {
        if (had_) {
            Set(before_);
        } else {
            RegDeleteValueW(key_, kDpiValue);
        }
        RegCloseKey(key_);
    }
    SystemDpi(const SystemDpi&) = delete;
    SystemDpi& operator=(const SystemDpi&) = delete;

private:
    void Set(DWORD dpi) {
        RegSetValueExW(key_, kDpiValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                       sizeof dpi);
    }
    HKEY key_ = nullptr;
    DWORD before_ = 0;
    bool had_ = false;
};

// This program again, with only the tests that measure at the DPI it is started with.
DWORD RunAtDpi(int dpi) {
    const SystemDpi set(static_cast<DWORD>(dpi));
    SetEnvironmentVariableA(kExpectedDpi, std::to_string(dpi).c_str());
    std::string command = "\"" + framework::AfxProgramFileName() + "\" --gtest_filter=AtThisDpi.*";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const BOOL started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
    SetEnvironmentVariableA(kExpectedDpi, nullptr);
    if (!started) {
        return GetLastError() | 0x10000;
    }
    DWORD status = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &status);
    } else {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}

TEST(DisplayDpi, BothDialogsAt96And144And192Dpi) {
    for (const int dpi : {96, 144, 192}) {
        EXPECT_EQ(RunAtDpi(dpi), 0u) << "at " << dpi << " DPI; its output says why";
    }
}

// Text that needs more room than its control has: empty when it fits.
std::string ClippedText(HWND control) {
    wchar_t text[512] = {};
    GetWindowTextW(control, text, 512);
    wchar_t kind[32] = {};
    GetClassNameW(control, kind, 32);
    const std::wstring type = kind;
    if (text[0] == L'\0' || (type != L"Static" && type != L"Button" && type != L"Edit")) {
        return {};
    }
    RECT room = {};
    GetClientRect(control, &room);
    // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_GETFONT answers with the font as a number
    auto* font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, font);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    const bool wraps = type == L"Static" || (type == L"Edit" && (style & ES_MULTILINE) != 0);
    int margins = 0;
    if (type == L"Button") {
        margins = 2 * (GetSystemMetrics(SM_CXEDGE) + 1);
    } else if (type == L"Edit") {
        const auto edges = static_cast<DWORD>(SendMessageW(control, EM_GETMARGINS, 0, 0));
        margins = LOWORD(edges) + HIWORD(edges);
    }
    RECT needed = {0, 0, room.right - margins, 0};
    const UINT format =
        DT_CALCRECT | (wraps ? DT_WORDBREAK : DT_SINGLELINE) | (type == L"Edit" ? DT_NOPREFIX : 0);
    DrawTextW(dc, text, -1, &needed, format);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    if (needed.right + margins <= room.right && needed.bottom <= room.bottom) {
        return {};
    }
    char described[600] = {};
    std::snprintf(described, sizeof described, "control %d \"%ls\" needs %ldx%ld, has %ldx%ld",
                  GetDlgCtrlID(control), text, needed.right + margins, needed.bottom, room.right,
                  room.bottom);
    return described;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
    return TRUE;
}

std::vector<std::string> ClippedTexts(HWND dialog) {
    std::vector<HWND> controls;
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&controls));
    std::vector<std::string> clipped;
    for (HWND control : controls) {
        if (GetParent(control) == dialog) {
            if (std::string why = ClippedText(control); !why.empty()) {
                clipped.push_back(why);
            }
        }
    }
    return clipped;
}

int IconSide(HICON icon) {
    ICONINFO parts = {};
    if (!GetIconInfo(icon, &parts)) {
        return 0;
    }
    BITMAP bitmap = {};
    GetObjectW(parts.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(parts.hbmMask);
    if (parts.hbmColor != nullptr) {
        DeleteObject(parts.hbmColor);
    }
    return bitmap.bmWidth;
}

// Whether every block of factor x factor pixels of the image holds one colour: pixel art
// scaled by a whole factor, not smoothed.
bool DrawnInWholeBlocks(HIMAGELIST list, int index, int side, int factor) {
    IMAGEINFO info = {};
    ImageList_GetImageInfo(list, index, &info);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(side) * side);
    BITMAPINFO format = {};
    format.bmiHeader = {sizeof format.bmiHeader, side, -side, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP image = CreateCompatibleBitmap(screen, side, side);
    HGDIOBJ old = SelectObject(memory, image);
    ImageList_Draw(list, index, memory, 0, 0, ILD_NORMAL);
    SelectObject(memory, old);
    GetDIBits(memory, image, 0, static_cast<UINT>(side), pixels.data(), &format, DIB_RGB_COLORS);
    DeleteObject(image);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    const int offset = (side % factor) / 2;
    for (int y = offset; y + factor <= side; ++y) {
        for (int x = offset; x + factor <= side; ++x) {
            const int top = offset + (y - offset) / factor * factor;
            const int left = offset + (x - offset) / factor * factor;
            if (pixels[static_cast<std::size_t>(y) * side + x] !=
                pixels[static_cast<std::size_t>(top) * side + left]) {
                return false;
            }
        }
    }
    return true;
}

class AtThisDpi : public ::testing::Test {
protected:
    void SetUp() override {
        if (ExpectedDpi() == 0) {
            GTEST_SKIP() << "started by DisplayDpi only";
        }
        HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
        ASSERT_EQ(dpi, ExpectedDpi());
        smallIcon_ = GetSystemMetrics(SM_CXSMICON);
        EXPECT_EQ(smallIcon_, 16 * dpi / 96);
    }
    int smallIcon_ = 0;
};

TEST_F(AtThisDpi, KitwrightsPicturesMatchTheSmallIconSizeAndNoTextIsCut) {
    CallLog log;
    RecordingPlatform platform{log};
    platform.machineValues[std::string(kInstallKey) + "|" + kPathValue] = "C:\\Sim";
    RecordingLibrary library{log, platform};
    const int side = smallIcon_;
    DrivenDialog dialog(platform, library, [side](DrivenDialog& d) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the message answers with a handle
        auto* list = reinterpret_cast<HIMAGELIST>(
            SendMessageW(d.Control(IDC_CLASS), CBEM_GETIMAGELIST, 0, 0));
        int width = 0;
        int height = 0;
        ImageList_GetIconSize(list, &width, &height);
        EXPECT_EQ(width, side);
        EXPECT_EQ(height, side);
        for (int image = 0; image < ImageList_GetImageCount(list); ++image) {
            EXPECT_TRUE(DrawnInWholeBlocks(list, image, side, side / 16)) << "picture " << image;
        }
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the message answers with a handle
        auto* caption = reinterpret_cast<HICON>(SendMessageW(d.m_hWnd, WM_GETICON, ICON_SMALL, 0));
        EXPECT_EQ(IconSide(caption), side == 16 ? 32 : side) << "96 DPI keeps the resource's icon";
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the message answers with a handle
        auto* combo =
            reinterpret_cast<HWND>(SendMessageW(d.Control(IDC_CLASS), CBEM_GETCOMBOCONTROL, 0, 0));
        EXPECT_GE(SendMessageW(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0), side);

        d.SelectClass(FindClassRow("BH Home & Residential"));
        d.Type(IDC_NAME, "Shops\\Corner Shop");
        d.Type(IDC_DESCRIPTION, "A corner shop\rwith a flat above");
        d.Pump();
        EXPECT_EQ(ClippedTexts(d.m_hWnd), std::vector<std::string>{});
        EXPECT_TRUE(SaveScreenshot(d.m_hWnd, ScreenshotPath("kitwright-dialog")));
    });
    dialog.DoModal();
}

// The tip over Create, shown on hover while Create is still disabled, for review by eye.
TEST_F(AtThisDpi, CreatesTipShowsWhollyOnTheScreen) {
    CallLog log;
    RecordingPlatform platform{log};
    platform.machineValues[std::string(kInstallKey) + "|" + kPathValue] = "C:\\Railvane";
    RecordingLibrary library{log, platform};
    DrivenDialog dialog(platform, library, [](DrivenDialog& d) {
        d.SelectClass(FindClassRow("BR Railway (turntable)"));
        d.Type(IDC_NAME, "Turntable 2");
        d.PauseTyping();
        HWND tip = d.HoverOver(IDOK);
        ASSERT_NE(tip, nullptr);
        RECT area = {};
        GetWindowRect(d.m_hWnd, &area);
        RECT shown = {};
        GetWindowRect(tip, &shown);
        const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        RECT inside = {};
        IntersectRect(&inside, &shown, &screen);
        EXPECT_TRUE(EqualRect(&inside, &shown)) << "the tip leaves the screen";
        UnionRect(&area, &area, &shown);
        EXPECT_TRUE(SaveScreenshot(area, ScreenshotPath("kitwright-create-tip")));
        MoveMouseTo({0, 0});
    });
    dialog.DoModal();
}

TEST_F(AtThisDpi, NameplatesPictureMatchesTheSmallIconSizeAndNoTextIsCut) {
    HMODULE nameplate = LoadNameplateAsData();
    ASSERT_NE(nameplate, nullptr);
    HWND dialog = CreateNameplateDialog(nameplate);
    ASSERT_NE(dialog, nullptr);
    SetDlgItemTextW(dialog, IDC_CURRENT, L"523456");
    // Its picture, made as Nameplate makes it, from its own icon resource.
    framework::CWnd window;
    window.Attach(dialog);
    HICON big = LoadIconW(nameplate, MAKEINTRESOURCEW(IDR_NAMEPLATE));
    ASSERT_NE(big, nullptr);
    HICON small = framework::SetCaptionIcons(window, big, nameplate, IDR_NAMEPLATE);
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the message answers with a handle
    auto* caption = reinterpret_cast<HICON>(SendMessageW(dialog, WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(IconSide(caption), smallIcon_ == 16 ? 32 : smallIcon_);
    MSG message = {};
    for (int round = 0; round < 20; ++round) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        Sleep(10);
    }
    EXPECT_EQ(ClippedTexts(dialog), std::vector<std::string>{});
    EXPECT_TRUE(SaveScreenshot(dialog, ScreenshotPath("nameplate-dialog")));
    DestroyWindow(dialog);
    if (small != nullptr) {
        DestroyIcon(small);
    }
    FreeLibrary(nameplate);
}

}  // namespace
}  // namespace kitwright::testing

// Nameplate.exe's dialog template, made into a window here with the program's own font, so
// that what the author would see cut off or stacked shows as a measurement.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/WinApp.h"
#include "nameplate/resource.h"

namespace {

// The folder of this test program, where the programs are built.
std::string ProgramFolder() {
    const std::string path = framework::AfxProgramFileName();
    return path.substr(0, path.rfind('\\'));
}

INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM data) {
    reinterpret_cast<std::vector<HWND>*>(data)->push_back(child);
    return TRUE;
}

std::string Described(HWND control) {
    char text[256] = {};
    GetWindowTextA(control, text, sizeof text);
    return "control " + std::to_string(GetDlgCtrlID(control)) + " \"" + text + "\"";
}

class NameplateLayout : public ::testing::Test {
protected:
    void SetUp() override {
        program_ = LoadLibraryExA((ProgramFolder() + "\\Nameplate.exe").c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(program_, nullptr);
        dialog_ =
            CreateDialogParamA(program_, MAKEINTRESOURCEA(IDD_NAMEPLATE_DIALOG), nullptr, Inert, 0);
        ASSERT_NE(dialog_, nullptr);
    }
    void TearDown() override {
        if (dialog_ != nullptr) {
            DestroyWindow(dialog_);
        }
        if (program_ != nullptr) {
            FreeLibrary(program_);
        }
    }

    // A control's place in the dialog's client coordinates.
    RECT PlaceOf(HWND control) const {
        RECT place = {};
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&place), 2);
        return place;
    }

    HMODULE program_ = nullptr;
    HWND dialog_ = nullptr;
};

TEST_F(NameplateLayout, TheIdentifierLineFitsOnOneLine) {
    HWND line = GetDlgItem(dialog_, IDC_KUID_HELP);
    ASSERT_NE(line, nullptr);
    char text[256] = {};
    GetWindowTextA(line, text, sizeof text);
    ASSERT_NE(text[0], '\0');

    // NOLINTNEXTLINE(performance-no-int-to-ptr): WM_GETFONT answers with the font as a number
    auto* font = reinterpret_cast<HFONT>(SendMessageA(line, WM_GETFONT, 0, 0));
    HDC dc = GetDC(line);
    HGDIOBJ old = SelectObject(dc, font);
    RECT needed = {};
    DrawTextA(dc, text, -1, &needed, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(line, dc);

    RECT box = {};
    GetClientRect(line, &box);
    EXPECT_LE(needed.right, box.right) << '"' << text << "\" is cut or wrapped";
    EXPECT_GE(box.bottom, needed.bottom) << "the line is lower than its text";
    EXPECT_LT(box.bottom, 2 * needed.bottom) << "the box has room for a second line";
}

TEST_F(NameplateLayout, EveryControlLiesInsideTheDialogAndNoneOverlap) {
    std::vector<HWND> controls;
    EnumChildWindows(dialog_, CollectChild, reinterpret_cast<LPARAM>(&controls));
    ASSERT_GE(controls.size(), 8u);
    RECT client = {};
    GetClientRect(dialog_, &client);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const RECT place = PlaceOf(controls[i]);
        RECT inside = {};
        IntersectRect(&inside, &place, &client);
        EXPECT_TRUE(EqualRect(&inside, &place)) << Described(controls[i]) << " leaves the dialog";
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const RECT other = PlaceOf(controls[j]);
            RECT common = {};
            EXPECT_FALSE(IntersectRect(&common, &place, &other))
                << Described(controls[i]) << " and " << Described(controls[j]) << " overlap";
        }
    }
}

}  // namespace

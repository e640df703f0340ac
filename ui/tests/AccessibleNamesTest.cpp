// The names that screen readers give the fields of both dialogs, found as Windows' accessibility
// layer finds them, on the real dialogs: Wine's own layer names an edit by its text instead.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "creation/tests/Fakes.h"
#include "ui/tests/DrivenDialog.h"
// After Kitwright's ids, whose IDC_STATIC it leaves alone.
#include "nameplate/resource.h"

namespace kitwright::testing {
namespace {

using Labels = std::vector<std::pair<int, std::string>>;

// A static's text as it is read out: an access key's '&' is not spoken.
std::string Spoken(const std::string& text) {
    std::string spoken;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '&' && at + 1 < text.size()) {
            ++at;
        }
        spoken += text[at];
    }
    return spoken;
}

// The nearest static before the field among the dialog's children, unless a control that
// starts a group and is a tab stop comes first; empty when there is none.
std::string AccessibleName(HWND field) {
    for (HWND before = GetWindow(field, GW_HWNDPREV); before != nullptr;
         before = GetWindow(before, GW_HWNDPREV)) {
        const LONG style = GetWindowLongA(before, GWL_STYLE);
        if ((style & (WS_GROUP | WS_TABSTOP)) == (WS_GROUP | WS_TABSTOP)) {
            return {};
        }
        char kind[32] = {};
        GetClassNameA(before, kind, sizeof kind);
        if (lstrcmpiA(kind, "Static") == 0) {
            char text[256] = {};
            GetWindowTextA(before, text, sizeof text);
            return Spoken(text);
        }
    }
    return {};
}

Labels AccessibleNames(HWND dialog, const Labels& fields) {
    Labels names;
    for (const auto& [id, label] : fields) {
        names.emplace_back(id, AccessibleName(GetDlgItem(dialog, id)));
    }
    return names;
}

TEST(AccessibleNames, EachOfKitwrightsFieldsIsNamedByItsOwnLabel) {
    const Labels labels = {{IDC_TEMPLATE, "Template:"},
                           {IDC_NAME, "Name:"},
                           {IDC_DESCRIPTION, "Description:"},
                           {IDC_CLASS, "Class:"}};
    CallLog log;
    RecordingPlatform platform{log};
    RecordingLibrary library{log, platform};
    Labels names;
    DrivenDialog dialog(platform, library,
                        [&](DrivenDialog& d) { names = AccessibleNames(d.m_hWnd, labels); });
    dialog.DoModal();
    EXPECT_EQ(names, labels);
}

INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

TEST(AccessibleNames, EachOfNameplatesFieldsIsNamedByItsOwnLabel) {
    HMODULE nameplate = LoadNameplateAsData();
    ASSERT_NE(nameplate, nullptr);
    HWND dialog =
        CreateDialogParamA(nameplate, MAKEINTRESOURCEA(IDD_NAMEPLATE_DIALOG), nullptr, Inert, 0);
    ASSERT_NE(dialog, nullptr);
    const Labels labels = {{IDC_CURRENT, "Current:"}, {IDC_KUID, "New KUID:"}};
    EXPECT_EQ(AccessibleNames(dialog, labels), labels);
    DestroyWindow(dialog);
    FreeLibrary(nameplate);
}

}  // namespace
}  // namespace kitwright::testing

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

// The nearest static before the field among the dialog's children, unless a control that
// starts a group and is a tab stop comes first.
std::string LabelFound(HWND field) {
    for (HWND before = GetWindow(field, GW_HWNDPREV); before != nullptr;
         before = GetWindow(before, GW_HWNDPREV)) {
        if ((GetWindowLongA(before, GWL_STYLE) & (WS_GROUP | WS_TABSTOP)) ==
            (WS_GROUP | WS_TABSTOP)) {
            break;
        }
        char kind[32] = {};
        GetClassNameA(before, kind, sizeof kind);
        if (lstrcmpiA(kind, "Static") == 0) {
            char text[256] = {};
            GetWindowTextA(before, text, sizeof text);
            return text;
        }
    }
    return "(none)";
}

Labels LabelsFound(HWND dialog, const Labels& fields) {
    Labels found;
    for (const auto& [id, label] : fields) {
        found.emplace_back(id, LabelFound(GetDlgItem(dialog, id)));
    }
    return found;
}

TEST(AccessibleNames, EachOfKitwrightsFieldsIsNamedByItsOwnLabel) {
    const Labels labels = {{IDC_TEMPLATE, "Template:"},
                           {IDC_NAME, "Name:"},
                           {IDC_DESCRIPTION, "Description:"},
                           {IDC_CLASS, "Class:"}};
    CallLog log;
    RecordingPlatform platform{log};
    RecordingLibrary library{log, platform};
    Labels found;
    DrivenDialog dialog(platform, library,
                        [&](DrivenDialog& d) { found = LabelsFound(d.m_hWnd, labels); });
    dialog.DoModal();
    EXPECT_EQ(found, labels);
}

TEST(AccessibleNames, EachOfNameplatesFieldsIsNamedByItsOwnLabel) {
    HMODULE nameplate = LoadNameplateAsData();
    ASSERT_NE(nameplate, nullptr);
    HWND dialog = CreateNameplateDialog(nameplate);
    ASSERT_NE(dialog, nullptr);
    const Labels labels = {{IDC_CURRENT, "Current:"}, {IDC_KUID, "&New KUID:"}};
    EXPECT_EQ(LabelsFound(dialog, labels), labels);
    DestroyWindow(dialog);
    FreeLibrary(nameplate);
}

}  // namespace
}  // namespace kitwright::testing

// The framework's dialogs, message maps and application object, run in this process.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "framework/Dialog.h"
#include "framework/WinApp.h"
#include "framework/tests/dialogs.h"

namespace framework {
namespace {

using ::testing::ElementsAre;

constexpr UINT kFailingCommand = 300;
constexpr UINT kAfterOpening = WM_APP;

// A dialog that records what reaches its handlers and runs a test's steps: `whileOpening`
// inside OnInitDialog, `onceOpen` once the framework has finished opening it.
class ProbeDialog : public CDialog {
protected:
    BEGIN_MSG_MAP(ProbeDialog, CDialog) = {
        MapControl(BN_CLICKED, IDC_PROBE_BUTTON, &ProbeDialog::OnProbe),
        MapControl(EN_CHANGE, IDC_PROBE_EDIT, &ProbeDialog::OnEditChange),
        MapCommand(kFailingCommand, &ProbeDialog::OnFail),
        MapMessage(WM_QUERYDRAGICON, &ProbeDialog::OnQueryDragIcon),
        MapMessage(kAfterOpening, &ProbeDialog::OnAfterOpening),
    };
    END_MSG_MAP()

public:
    explicit ProbeDialog(UINT templateId = IDD_PROBE) : CDialog(templateId) {}

    LRESULT SendToSelf(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendMessageA(m_hWnd, message, wParam, lParam);
    }
    void Click(int id) { SendToSelf(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED)); }

    std::function<void(ProbeDialog&)> whileOpening;
    std::function<void(ProbeDialog&)> onceOpen;
    std::vector<std::string> calls;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_PROBE_BUTTON, probe); }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        calls.push_back(probe.GetSafeHwnd() == GetDlgItem(m_hWnd, IDC_PROBE_BUTTON) ? "bound"
                                                                                    : "unbound");
        PostMessageA(m_hWnd, kAfterOpening, 0, 0);
        if (whileOpening) {
            whileOpening(*this);
        }
        return TRUE;
    }
    void OnOK() override {
        calls.push_back("OnOK");
        CDialog::OnOK();
    }
    void OnProbe() { calls.push_back("probe clicked"); }
    void OnEditChange() { calls.push_back("edit changed"); }
    void OnFail() { throw std::runtime_error("handler failed"); }
    HCURSOR OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(0x1234); }
    void OnAfterOpening() {
        if (onceOpen) {
            onceOpen(*this);
        }
    }

private:
    CButton probe;
};

TEST(Dialog, MessagesReachTheHandlersThatTheMapsName) {
    ProbeDialog dialog;
    LRESULT dragIcon = 0;
    dialog.onceOpen = [&](ProbeDialog& d) {
        d.Click(IDC_PROBE_BUTTON);
        SetDlgItemTextA(d.m_hWnd, IDC_PROBE_EDIT, "typed");  // the edit's own EN_CHANGE
        d.SendToSelf(WM_COMMAND, MAKEWPARAM(IDC_PROBE_EDIT, EN_UPDATE));  // not in the map
        dragIcon = d.SendToSelf(WM_QUERYDRAGICON);
        EnableWindow(GetDlgItem(d.m_hWnd, IDOK), FALSE);
        d.Click(IDOK);  // ignored: Enter presses a disabled default button by its id
        EnableWindow(GetDlgItem(d.m_hWnd, IDOK), TRUE);
        d.Click(IDOK);  // from the base class's map to the override
    };
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_THAT(dialog.calls, ElementsAre("bound", "probe clicked", "edit changed", "OnOK"));
    EXPECT_EQ(dragIcon, 0x1234);
}

class HelpfulApp : public CWinApp {
protected:
    BEGIN_MSG_MAP(HelpfulApp, CWinApp) = {
        MapCommand(ID_HELP, &HelpfulApp::OnHelpRequest),
    };
    END_MSG_MAP()

public:
    int helpRequests = 0;

protected:
    void OnHelpRequest() { ++helpRequests; }
};

TEST(Dialog, HelpAndOtherCommandsTheDialogLeavesGoToTheApplication) {
    HelpfulApp app;
    ProbeDialog dialog;
    dialog.onceOpen = [](ProbeDialog& d) {
        HELPINFO help = {sizeof help, HELPINFO_WINDOW, 0, nullptr, 0, {}};
        d.SendToSelf(WM_HELP, 0, reinterpret_cast<LPARAM>(&help));  // F1
        d.SendToSelf(WM_COMMAND, ID_HELP);
        d.Click(IDCANCEL);
    };
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(app.helpRequests, 2);
}

TEST(Dialog, AFailingHandlerEndsTheDialogAndItsCallerHearsOfIt) {
    ProbeDialog dialog;
    HWND window = nullptr;
    dialog.onceOpen = [&](ProbeDialog& d) {
        window = d.m_hWnd;
        d.SendToSelf(WM_COMMAND, kFailingCommand);
    };
    EXPECT_THROW(dialog.DoModal(), std::runtime_error);
    EXPECT_FALSE(IsWindow(window));

    // So does a template that lacks a control which DoDataExchange binds.
    ProbeDialog lacking(IDD_PROBE_BARE);
    EXPECT_THROW(lacking.DoModal(), std::logic_error);
}

RECT OpenedAt(UINT templateId) {
    ProbeDialog dialog(templateId);
    RECT placed = {};
    dialog.onceOpen = [&](ProbeDialog& d) {
        GetWindowRect(d.m_hWnd, &placed);
        d.EndDialog(IDCANCEL);
    };
    dialog.DoModal();
    return placed;
}

TEST(Dialog, OnlyADialogPlacedAtTheOriginIsCentred) {
    RECT area = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    const RECT centred = OpenedAt(IDD_PROBE);
    EXPECT_NEAR(centred.left - area.left, area.right - centred.right, 1);
    EXPECT_NEAR(centred.top - area.top, area.bottom - centred.bottom, 1);

    for (UINT elsewhere : {IDD_PROBE_PLACED, IDD_PROBE_PLAIN_PLACED}) {
        const RECT placed = OpenedAt(elsewhere);
        EXPECT_LT(placed.left - area.left, (area.right - placed.right) / 2) << elsewhere;
        EXPECT_LT(placed.top - area.top, (area.bottom - placed.bottom) / 2) << elsewhere;
    }
}

class LoopApp : public CWinApp {
public:
    explicit LoopApp(BOOL enterLoop) : enterLoop_(enterLoop) {}
    BOOL InitInstance() override {
        PostQuitMessage(7);
        return enterLoop_;
    }

private:
    BOOL enterLoop_;
};

TEST(Application, OnlyATrueInitInstanceEntersTheMessageLoop) {
    {
        LoopApp app(TRUE);
        EXPECT_EQ(AfxWinMain(GetModuleHandleA(nullptr)), 7);
    }
    LoopApp app(FALSE);
    EXPECT_EQ(AfxWinMain(GetModuleHandleA(nullptr)), 0);
    MSG unread = {};
    EXPECT_TRUE(PeekMessageA(&unread, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST(Application, MessageBoxesAreCaptionedWithTheProgramsName) {
    std::atomic<bool> answered{false};
    std::thread answer([&] {
        for (int i = 0; i < 400 && !answered; ++i) {
            HWND box = FindWindowA("#32770", "framework_tests");
            if (box != nullptr) {
                PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
                answered = true;
            }
            Sleep(50);
        }
    });
    EXPECT_EQ(AfxMessageBox(nullptr, "Captioned?"), IDOK);
    answer.join();
    EXPECT_TRUE(answered);
}

}  // namespace
}  // namespace framework

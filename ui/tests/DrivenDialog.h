// The real creation dialog, run in this process, with what a test needs to work it as an
// author would: it runs the test's steps once it is open, as its own message loop does.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/RailvaneWorkshopDlg.h"

namespace kitwright::testing {

// The balloon tip that the system shows, or null when none is visible.
HWND VisibleBalloon();
// What a tooltip or a balloon tip says, its title aside.
std::wstring TipText(HWND tip);

class DrivenDialog : public CRailvaneWorkshopDlg {
protected:
    BEGIN_MSG_MAP(DrivenDialog, CRailvaneWorkshopDlg) = {
        MapMessage(kRunSteps, &DrivenDialog::OnRunSteps),
    };
    END_MSG_MAP()

public:
    // What DoModal returns when the steps leave the dialog open.
    static constexpr INT_PTR kLeftOpen = 99;

    using Steps = std::function<void(DrivenDialog&)>;
    DrivenDialog(Platform& platform, PackageLibrary& library, Steps steps)
        : CRailvaneWorkshopDlg(platform, library), m_steps(std::move(steps)) {}

    HWND Control(int id) const { return GetDlgItem(m_hWnd, id); }
    std::string Text(int id) const;
    bool IsEnabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }
    bool IsOpen() const { return IsWindowVisible(m_hWnd) != FALSE; }

    // Typed character by character, as the keyboard would.
    void Type(int id, const std::string& text);
    void Clear(int id);
    // Chooses a class list item the way a program can: the list tells nobody, so the
    // notification is sent as the list would send it.
    void SelectClass(int index);
    void Click(int id) { SendMessageA(Control(id), BM_CLICK, 0, 0); }

    void FocusOn(int id);
    // A key press as the keyboard queues it for the focused control, handled as the
    // dialog's own loop handles it.
    void PressKey(UINT virtualKey);
    // The id of the control that has the keyboard focus (of its parent control for the
    // parts of the class list), or 0.
    int FocusedControl() const;
    // Handles everything queued so far, through the dialog manager like the modal loop.
    void Pump();
    // Lets the pause after typing pass, so that the Name's check runs.
    void PauseTyping();
    const std::wstring& NameHint() const { return m_nameHint; }
    // What the tip over Create says now, shown or not.
    std::wstring CreateTip() const { return TipText(m_tipCreate.GetSafeHwnd()); }
    // Rests the mouse on the control and waits for the tip over Create; null if none shows.
    HWND HoverOver(int id);

protected:
    BOOL OnInitDialog() override;

private:
    static constexpr UINT kRunSteps = WM_APP + 1;
    void OnRunSteps();

    Steps m_steps;
};

// Nameplate.exe, built beside this test program, loaded for its resources only; null if absent.
HMODULE LoadNameplateAsData();
// Nameplate's dialog from the template of `nameplate`, modeless, with a procedure that does
// nothing; null if it cannot be made.
HWND CreateNameplateDialog(HMODULE nameplate);

// Moves the mouse as the author's hand would, in screen coordinates.
void MoveMouseTo(POINT point);

// Saves a picture of the screen area that `window` covers as a PNG file.
bool SaveScreenshot(HWND window, const std::string& unixPath);
// The same for an area of the screen.
bool SaveScreenshot(const RECT& area, const std::string& unixPath);

}  // namespace kitwright::testing

// Modal dialogs made from a dialog template, with their messages routed through maps.
#pragma once

#include <windows.h>

#include <exception>

#include "framework/MessageMap.h"
#include "framework/Wnd.h"

namespace framework {

class CDialog;

// What DoDataExchange works on: the dialog whose controls are being bound.
class CDataExchange {
public:
    explicit CDataExchange(CDialog& dialog) : m_dialog(dialog) {}
    CDialog& Dialog() const { return m_dialog; }

private:
    CDialog& m_dialog;
};

// Attaches `control` to the dialog's control `id`; a template without it is a fault.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

class CDialog : public CWnd, public CCmdTarget {
protected:
    BEGIN_MSG_MAP(CDialog, CCmdTarget) = {
        MapCommand(IDOK, &CDialog::OnOK),
        MapCommand(IDCANCEL, &CDialog::OnCancel),
    };
    END_MSG_MAP()

public:
    explicit CDialog(UINT templateId, HWND parent = nullptr)
        : m_templateId(templateId), m_parent(parent) {}

    // Runs the dialog until it ends and returns what it ended with. A failure inside a
    // handler closes the dialog and is thrown again from here.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // Binds the controls; true leaves the first focus to the system.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // The system's own painting and destroy handling.
    void OnPaint() { Default(); }
    void OnDestroy() { Default(); }

    // Hands the message being handled to the system's dialog handling once the handler returns.
    void Default() { m_useDefault = true; }

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR RouteCommand(WPARAM wParam);
    bool IsClickOnDisabledControl(WPARAM wParam) const;
    bool TemplatePlacedAtOrigin() const;

    UINT m_templateId;
    HWND m_parent;
    bool m_centre = false;
    bool m_useDefault = false;
    std::exception_ptr m_failure;
};

}  // namespace framework

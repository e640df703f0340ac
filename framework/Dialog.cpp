#include "framework/Dialog.h"

#include <commctrl.h>

#include <cstddef>
#include <stdexcept>
#include <string>
#include <utility>

#include "framework/WinApp.h"

namespace framework {
namespace {

// Messages whose result a dialog procedure returns itself instead of through DWLP_MSGRESULT.
bool AnsweredDirectly(UINT message) {
    switch (message) {
        case WM_CHARTOITEM:
        case WM_COMPAREITEM:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_INITDIALOG:
        case WM_QUERYDRAGICON:
        case WM_VKEYTOITEM:
            return true;
        default:
            return false;
    }
}

// The fixed start of an extended template (DLGTEMPLATEEX), which the SDK headers leave
// out; like DLGTEMPLATE it is packed on two-byte boundaries.
#pragma pack(push, 2)
struct DialogTemplateEx {
    WORD dlgVer;     // 1
    WORD signature;  // 0xFFFF, where a plain template has the low word of its style
    DWORD helpID;
    DWORD exStyle;
    DWORD style;
    WORD cDlgItems;
    short x;
    short y;
    short cx;
    short cy;
};
#pragma pack(pop)
static_assert(offsetof(DialogTemplateEx, x) == 18, "DLGTEMPLATEEX places x at byte 18");
static_assert(offsetof(DLGTEMPLATE, x) == 10, "DLGTEMPLATE places x at byte 10");

bool IsExtended(const DialogTemplateEx& header) {
    return header.dlgVer == 1 && header.signature == 0xFFFF;
}

// The template's x and y, in either template format.
POINT TemplatePosition(const void* data) {
    const auto& extended = *static_cast<const DialogTemplateEx*>(data);
    if (IsExtended(extended)) {
        return {extended.x, extended.y};
    }
    const auto& plain = *static_cast<const DLGTEMPLATE*>(data);
    return {plain.x, plain.y};
}

}  // namespace

void DDX_Control(CDataExchange* pDX, int id, CWnd& control) {
    HWND window = GetDlgItem(pDX->Dialog().m_hWnd, id);
    if (window == nullptr) {
        throw std::logic_error("the dialog template has no control " + std::to_string(id));
    }
    control.Attach(window);
}

// A Unicode dialog, so that its edit controls keep every character typed or pasted: an
// ANSI one would store the code page's look-alikes in their place.
INT_PTR CDialog::DoModal() {
    // The template may name the extended combo box, which must be registered first.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_USEREX_CLASSES};
    InitCommonControlsEx(&controls);
    m_centre = TemplatePlacedAtOrigin();
    const INT_PTR result =
        DialogBoxParamW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(m_templateId), m_parent,
                        &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    m_hWnd = nullptr;
    if (m_failure) {
        std::rethrow_exception(std::exchange(m_failure, nullptr));
    }
    return result;
}

void CDialog::EndDialog(INT_PTR result) {
    ::EndDialog(m_hWnd, result);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::OnInitDialog() {
    CDataExchange exchange(*this);
    DoDataExchange(&exchange);
    return TRUE;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

bool CDialog::TemplatePlacedAtOrigin() const {
    HMODULE module = AfxGetInstanceHandle();
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(m_templateId), RT_DIALOG);
    HGLOBAL loaded = resource != nullptr ? LoadResource(module, resource) : nullptr;
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (data == nullptr) {
        return false;
    }
    const POINT position = TemplatePosition(data);
    return position.x == 0 && position.y == 0;
}

// The dialog object travels in WM_INITDIALOG's lParam and stays in DWLP_USER.
INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(window, DWLP_USER, lParam);
    }
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the window keeps the object as a number
    auto* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrA(window, DWLP_USER));
    if (dialog == nullptr) {
        return FALSE;  // sent before WM_INITDIALOG, such as WM_SETFONT
    }
    if (message == WM_INITDIALOG) {
        dialog->m_hWnd = window;
    }
    // Exceptions must not unwind through the system's frames: end the dialog instead.
    try {
        return dialog->HandleMessage(message, wParam, lParam);
    } catch (...) {
        if (!dialog->m_failure) {
            dialog->m_failure = std::current_exception();
        }
        ::EndDialog(window, -1);
        return TRUE;
    }
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: {
            const BOOL systemFocus = OnInitDialog();
            if (m_centre) {
                CenterWindow();
            }
            return systemFocus;
        }
        case WM_HELP:
            return RouteCommand(ID_HELP);
        case WM_COMMAND:
            return RouteCommand(wParam);
        default:
            break;
    }
    const bool outerDefault = std::exchange(m_useDefault, false);
    LRESULT result = 0;
    const bool handled = Dispatch(message, wParam, result);
    const bool useDefault = std::exchange(m_useDefault, outerDefault);
    if (!handled || useDefault) {
        return FALSE;
    }
    if (AnsweredDirectly(message)) {
        return static_cast<INT_PTR>(result);
    }
    SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

// Commands go to the dialog's map, then to the application's.
INT_PTR CDialog::RouteCommand(WPARAM wParam) {
    if (IsClickOnDisabledControl(wParam)) {
        return TRUE;
    }
    LRESULT result = 0;
    if (Dispatch(WM_COMMAND, wParam, result)) {
        return TRUE;
    }
    CWinApp* app = AfxGetApp();
    return app != nullptr && app->Dispatch(WM_COMMAND, wParam, result) ? TRUE : FALSE;
}

// A disabled button's command, which Enter may still bring through the dialog manager, is
// never the user's.
bool CDialog::IsClickOnDisabledControl(WPARAM wParam) const {
    if (HIWORD(wParam) != BN_CLICKED) {
        return false;
    }
    HWND control = GetDlgItem(m_hWnd, LOWORD(wParam));
    return control != nullptr && !IsWindowEnabled(control);
}

}  // namespace framework

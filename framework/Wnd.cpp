#include "framework/Wnd.h"

#include <cassert>

#include "framework/ImageList.h"

namespace framework {

LRESULT CWnd::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    assert(IsWindow(m_hWnd));
    return SendMessageA(m_hWnd, message, wParam, lParam);
}

void CWnd::Enable(bool enable) {
    assert(IsWindow(m_hWnd));
    EnableWindow(m_hWnd, enable ? TRUE : FALSE);
}

bool CWnd::IsIconic() const {
    assert(IsWindow(m_hWnd));
    return ::IsIconic(m_hWnd) != FALSE;
}

RECT CWnd::ClientRect() const {
    assert(IsWindow(m_hWnd));
    RECT rect = {};
    GetClientRect(m_hWnd, &rect);
    return rect;
}

void CWnd::SetText(const char* text) {
    Send(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

std::string CWnd::Text() const {
    std::string text(static_cast<std::size_t>(TextLength()) + 1, '\0');
    const LRESULT copied =
        Send(WM_GETTEXT, static_cast<WPARAM>(text.size()), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::wstring CWnd::WideText() const {
    assert(IsWindow(m_hWnd));
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(m_hWnd)) + 1, L'\0');
    const int copied = GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

int CWnd::TextLength() const {
    return static_cast<int>(Send(WM_GETTEXTLENGTH));
}

HICON CWnd::SetIcon(HICON icon, bool big) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the message answers with a handle
    return reinterpret_cast<HICON>(
        Send(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

void CWnd::CenterWindow() {
    assert(IsWindow(m_hWnd));
    RECT area = {};
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    if (owner != nullptr && IsWindowVisible(owner) && !::IsIconic(owner)) {
        GetWindowRect(owner, &area);
    } else {
        MONITORINFO monitor = {sizeof monitor, {}, {}, 0};
        GetMonitorInfoA(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &monitor);
        area = monitor.rcWork;
    }
    RECT window = {};
    GetWindowRect(m_hWnd, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    const int x = area.left + (area.right - area.left - width) / 2;
    const int y = area.top + (area.bottom - area.top - height) / 2;
    SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEdit::SetSel(int start, int end) {
    Send(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

void CEdit::ShowBalloonTip(const wchar_t* title, const wchar_t* text, int icon) {
    EDITBALLOONTIP tip = {sizeof tip, title, text, icon};
    if (Send(EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&tip)) == FALSE) {
        ShowOwnBalloon(title, text, icon);
    }
}

void CEdit::HideBalloonTip() {
    Send(EM_HIDEBALLOONTIP);
    if (IsWindow(m_hBalloon)) {
        TTTOOLINFOW tool = {};
        tool.cbSize = sizeof tool;
        tool.hwnd = m_hWnd;
        tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
        SendMessageW(m_hBalloon, TTM_TRACKACTIVATE, FALSE, reinterpret_cast<LPARAM>(&tool));
    }
}

// A tracking tooltip in balloon form, pointing at the field's lower edge, as wide as it.
void CEdit::ShowOwnBalloon(const wchar_t* title, const wchar_t* text, int icon) {
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_TRACK | TTF_ABSOLUTE;
    tool.hwnd = m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(m_hWnd);
    tool.lpszText = const_cast<wchar_t*>(text);
    RECT field = {};
    GetWindowRect(m_hWnd, &field);
    if (!IsWindow(m_hBalloon)) {
        m_hBalloon = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                     WS_POPUP | TTS_BALLOON | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                     m_hWnd, nullptr, nullptr, nullptr);
        SendMessageW(m_hBalloon, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SendMessageW(m_hBalloon, TTM_SETMAXTIPWIDTH, 0, field.right - field.left);
    SendMessageW(m_hBalloon, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(m_hBalloon, TTM_SETTITLEW, static_cast<WPARAM>(icon),
                 reinterpret_cast<LPARAM>(title));
    SendMessageW(m_hBalloon, TTM_TRACKPOSITION, 0,
                 MAKELPARAM(field.left + (field.right - field.left) / 8, field.bottom));
    SendMessageW(m_hBalloon, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&tool));
}

int CComboBoxEx::InsertItem(const COMBOBOXEXITEMA& item) {
    return static_cast<int>(Send(CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

int CComboBoxEx::GetCurSel() const {
    return static_cast<int>(Send(CB_GETCURSEL));
}

int CComboBoxEx::SetCurSel(int index) {
    return static_cast<int>(Send(CB_SETCURSEL, static_cast<WPARAM>(index)));
}

bool CComboBoxEx::GetItemText(int index, char* buffer, int size) const {
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_TEXT;
    item.iItem = index;
    item.pszText = buffer;
    item.cchTextMax = size;
    return Send(CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) != 0;
}

HIMAGELIST CComboBoxEx::SetImageList(CImageList* list) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the message answers with a handle
    return reinterpret_cast<HIMAGELIST>(
        Send(CBEM_SETIMAGELIST, 0,
             reinterpret_cast<LPARAM>(list != nullptr ? list->GetSafeHandle() : nullptr)));
}

}  // namespace framework

// Thin wrappers around window handles. A wrapper attaches to a window that exists
// already (a dialog's control) and never subclasses it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace framework {

class CWnd {
public:
    CWnd() = default;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd() = default;

    void Attach(HWND window) { m_hWnd = window; }
    HWND GetSafeHwnd() const { return m_hWnd; }

    LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
    void Enable(bool enable);
    bool IsIconic() const;
    RECT ClientRect() const;
    void SetText(const char* text);
    std::string Text() const;
    // The text as typed, in every script, whatever the code page holds.
    std::wstring WideText() const;
    int TextLength() const;
    HICON SetIcon(HICON icon, bool big);
    // Centres the window on its owner, or on the work area when it has none.
    void CenterWindow();

    HWND m_hWnd = nullptr;
};

class CEdit : public CWnd {
public:
    // Selects characters `start` to `end`; 0 and -1 select everything.
    void SetSel(int start, int end);
    // A balloon tip under the field: the control's own (common controls 6), or else one
    // drawn by a tooltip of the wrapper's, as where the control does not offer it.
    void ShowBalloonTip(const wchar_t* title, const wchar_t* text, int icon);
    void HideBalloonTip();

private:
    void ShowOwnBalloon(const wchar_t* title, const wchar_t* text, int icon);

    HWND m_hBalloon = nullptr;  // the wrapper's tooltip, owned by the field's window
};

class CButton : public CWnd {};

class CImageList;

// The extended combo box (ComboBoxEx32): items with text and pictures. It answers a few
// plain combo box messages only, so it has a wrapper of its own.
class CComboBoxEx : public CWnd {
public:
    // Index of the new item, or -1.
    int InsertItem(const COMBOBOXEXITEMA& item);
    int GetCurSel() const;
    int SetCurSel(int index);
    // Copies the text of item `index` into `buffer`, which holds `size` bytes.
    bool GetItemText(int index, char* buffer, int size) const;
    // Returns the list that the control held before.
    HIMAGELIST SetImageList(CImageList* list);
};

}  // namespace framework

// A tooltip over a dialog's button that shows while the button is disabled, too.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace kitwright {

class CButtonTip {
public:
    CButtonTip() = default;
    CButtonTip(const CButtonTip&) = delete;
    CButtonTip& operator=(const CButtonTip&) = delete;

    // The tip belongs to the dialog's window, which destroys it when it is destroyed.
    void Create(HWND dialog, HWND button);
    // An empty text shows no tip.
    void SetText(const std::wstring& text);
    HWND GetSafeHwnd() const { return m_hTip; }

private:
    TTTOOLINFOW Tool(bool overArea) const;

    HWND m_hTip = nullptr;
    HWND m_hDialog = nullptr;
    HWND m_hButton = nullptr;
    std::wstring m_text;
};

}  // namespace kitwright

#include "ui/ButtonTip.h"

namespace kitwright {
namespace {

// A path takes longer to read than the few seconds a tip usually stays.
constexpr int kShownFor = 20000;

}  // namespace

// Windows sends a disabled button no mouse messages, but its parent gets them: one tool is the
// dialog's area over the button, the other the button itself, which has them while enabled.
TTTOOLINFOW CButtonTip::Tool(bool overArea) const {
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = m_hDialog;
    tool.uFlags = TTF_SUBCLASS | (overArea ? 0 : TTF_IDISHWND);
    tool.uId = overArea ? static_cast<UINT_PTR>(GetDlgCtrlID(m_hButton))
                        : reinterpret_cast<UINT_PTR>(m_hButton);
    GetWindowRect(m_hButton, &tool.rect);
    MapWindowPoints(nullptr, m_hDialog, reinterpret_cast<POINT*>(&tool.rect), 2);
    tool.lpszText = const_cast<wchar_t*>(m_text.c_str());
    return tool;
}

void CButtonTip::Create(HWND dialog, HWND button) {
    m_hDialog = dialog;
    m_hButton = button;
    m_hTip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                             WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, nullptr, nullptr);
    for (const bool overArea : {true, false}) {
        TTTOOLINFOW tool = Tool(overArea);
        SendMessageW(m_hTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    // As wide as the dialog, so that a long text takes lines rather than the screen's width.
    RECT client = {};
    GetClientRect(dialog, &client);
    SendMessageW(m_hTip, TTM_SETMAXTIPWIDTH, 0, client.right);
    SendMessageW(m_hTip, TTM_SETDELAYTIME, TTDT_AUTOPOP, kShownFor);
}

void CButtonTip::SetText(const std::wstring& text) {
    if (text == m_text) {
        return;
    }
    m_text = text;
    for (const bool overArea : {true, false}) {
        TTTOOLINFOW tool = Tool(overArea);
        SendMessageW(m_hTip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    // A tip being shown would keep its old text until the mouse moves on.
    SendMessageW(m_hTip, text.empty() ? TTM_POP : TTM_UPDATE, 0, 0);
}

}  // namespace kitwright

#include "ui/tests/DrivenDialog.h"

#include <cwchar>

#include "framework/WinApp.h"
#include "nameplate/resource.h"

namespace kitwright::testing {

BOOL DrivenDialog::OnInitDialog() {
    const BOOL systemFocus = CRailvaneWorkshopDlg::OnInitDialog();
    // Posted, so the steps run once the framework has finished opening the dialog.
    PostMessageA(m_hWnd, kRunSteps, 0, 0);
    return systemFocus;
}

void DrivenDialog::OnRunSteps() {
    Pump();  // what opening the dialog queued: its first painting, the focus
    m_steps(*this);
    if (IsOpen()) {
        EndDialog(kLeftOpen);
    }
}

std::string DrivenDialog::Text(int id) const {
    char text[1024] = {};
    SendMessageA(Control(id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void DrivenDialog::Type(int id, const std::string& text) {
    for (const char c : text) {
        SendMessageA(Control(id), WM_CHAR, static_cast<BYTE>(c), 1);
    }
}

void DrivenDialog::Clear(int id) {
    SendMessageA(Control(id), EM_SETSEL, 0, -1);
    SendMessageA(Control(id), WM_CHAR, VK_BACK, 1);
}

void DrivenDialog::SelectClass(int index) {
    HWND list = Control(IDC_CLASS);
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_CLASS, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
}

void DrivenDialog::FocusOn(int id) {
    SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Control(id)), TRUE);
}

void DrivenDialog::PressKey(UINT virtualKey) {
    HWND target = GetFocus();
    const DWORD down = MapVirtualKeyA(virtualKey, 0) << 16 | 1;
    const DWORD up = down | 1u << 30 | 1u << 31;  // previously down, now being released
    PostMessageA(target, WM_KEYDOWN, virtualKey, static_cast<LPARAM>(down));
    PostMessageA(target, WM_KEYUP, virtualKey, static_cast<LPARAM>(up));
    Pump();
}

int DrivenDialog::FocusedControl() const {
    HWND window = GetFocus();
    while (window != nullptr && GetParent(window) != m_hWnd) {
        window = GetParent(window);
    }
    return window != nullptr ? GetDlgCtrlID(window) : 0;
}

void DrivenDialog::Pump() {
    MSG message = {};
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (!IsDialogMessageA(m_hWnd, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

void DrivenDialog::PauseTyping() {
    const DWORD until = GetTickCount() + kNameCheckDelay + 200;
    while (static_cast<LONG>(until - GetTickCount()) > 0) {
        Sleep(20);
        Pump();
    }
}

HWND DrivenDialog::HoverOver(int id) {
    RECT area = {};
    GetWindowRect(Control(id), &area);
    HWND tip = m_tipCreate.GetSafeHwnd();
    SendMessageW(tip, TTM_POP, 0, 0);  // a tip still shown from before proves nothing
    MoveMouseTo({(area.left + area.right) / 2, (area.top + area.bottom) / 2});
    for (int waited = 0; waited < 3000 && !IsWindowVisible(tip); waited += 20) {
        Sleep(20);
        Pump();
    }
    return IsWindowVisible(tip) ? tip : nullptr;
}

void MoveMouseTo(POINT point) {
    INPUT move = {};
    move.type = INPUT_MOUSE;
    // Absolute positions run from 0 to 65535 across the screen.
    move.mi.dx = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    move.mi.dy = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &move, sizeof move);
}

namespace {

BOOL CALLBACK FindBalloon(HWND window, LPARAM found) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (IsWindowVisible(window) && std::wstring(name) == TOOLTIPS_CLASSW &&
        (GetWindowLongW(window, GWL_STYLE) & TTS_BALLOON) != 0) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the caller's variable, passed as a number
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND VisibleBalloon() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindBalloon, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring TipText(HWND tip) {
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    if (!SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool))) {
        return {};
    }
    std::wstring text(1024, L'\0');
    tool.lpszText = text.data();
    SendMessageW(tip, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&tool));
    text.resize(std::wcslen(text.c_str()));
    return text;
}

HMODULE LoadNameplateAsData() {
    const std::string program = framework::AfxProgramFileName();
    return LoadLibraryExA((program.substr(0, program.rfind('\\')) + "\\Nameplate.exe").c_str(),
                          nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

namespace {

INT_PTR CALLBACK Inert(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}

}  // namespace

HWND CreateNameplateDialog(HMODULE nameplate) {
    return CreateDialogParamW(nameplate, MAKEINTRESOURCEW(IDD_NAMEPLATE_DIALOG), nullptr, Inert, 0);
}

bool SaveScreenshot(HWND window, const std::string& unixPath) {
    RECT area = {};
    GetWindowRect(window, &area);
    return SaveScreenshot(area, unixPath);
}

bool SaveScreenshot(const RECT& area, const std::string& unixPath) {
    const std::string partial = unixPath + ".part";
    const std::string geometry = std::to_string(area.right - area.left) + "x" +
                                 std::to_string(area.bottom - area.top) + "+" +
                                 std::to_string(area.left) + "+" + std::to_string(area.top);
    std::string command = "Z:\\bin\\sh -c \"PATH=/usr/bin:/bin; mkdir -p '" +
                          unixPath.substr(0, unixPath.find_last_of('/')) +
                          "' && import -window root -crop " + geometry + " +repage" +
                          " 'png:" + partial + "' && mv '" + partial + "' '" + unixPath + "'\"";
    const std::string windowsPath = "Z:" + unixPath;
    DeleteFileA(windowsPath.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    for (HANDLE handle : {process.hThread, process.hProcess}) {
        if (handle != nullptr) {
            CloseHandle(handle);
        }
    }
    // Wine starts a Linux program without a handle to wait on: the file's arrival tells.
    for (int waited = 0; waited < 20000; waited += 20) {
        if (GetFileAttributesA(windowsPath.c_str()) != INVALID_FILE_ATTRIBUTES) {
            return true;
        }
        Sleep(20);
    }
    return false;
}

}  // namespace kitwright::testing

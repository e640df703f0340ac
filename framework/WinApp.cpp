#include "framework/WinApp.h"

#include "codepage/CodePage.h"
#include "framework/Dialog.h"

namespace framework {
namespace {

CWinApp* theApplication = nullptr;

// The exit code of a program whose start-up failed in a way that it did not foresee.
constexpr int kUnexpectedFailure = 3;

}  // namespace

std::string AfxProgramFileName() {
    std::string name(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length < name.size()) {
            name.resize(length);
            return name;
        }
        name.resize(name.size() * 2);  // truncated: a deeper folder than MAX_PATH
    }
}

CWinApp::CWinApp() {
    theApplication = this;
}

CWinApp::~CWinApp() {
    if (theApplication == this) {
        theApplication = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::Run() {
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

std::string AfxAppName() {
    std::string name = AfxProgramFileName();
    name.erase(0, name.find_last_of("\\/") + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

void CWinApp::OnHelp() {
    std::string helpFile = AfxProgramFileName();
    const std::size_t dot = helpFile.rfind('.');
    helpFile = helpFile.substr(0, dot) + ".hlp";
    if (GetFileAttributesA(helpFile.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return;  // no help ships with the program
    }
    WinHelpA(m_pMainWnd != nullptr ? m_pMainWnd->m_hWnd : nullptr, helpFile.c_str(), HELP_FINDER,
             0);
}

CWinApp* AfxGetApp() {
    return theApplication;
}

HINSTANCE AfxGetInstanceHandle() {
    if (theApplication != nullptr && theApplication->m_hInstance != nullptr) {
        return theApplication->m_hInstance;
    }
    return GetModuleHandleA(nullptr);
}

int AfxWinMain(HINSTANCE instance) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return kUnexpectedFailure;
    }
    app->m_hInstance = instance;
    // Nothing may unwind out of WinMain: an unforeseen failure ends the program quietly.
    try {
        return app->InitInstance() ? app->Run() : 0;
    } catch (...) {
        return kUnexpectedFailure;
    }
}

int AfxMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    const std::string title = caption != nullptr ? std::string(caption) : AfxAppName();
    return MessageBoxA(owner, text, title.c_str(), type);
}

int AfxMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type) {
    if (caption != nullptr) {
        return MessageBoxW(owner, text, caption, type);
    }
    return MessageBoxW(owner, text, codepage::Widen(AfxAppName()).c_str(), type);
}

INT_PTR CWinApp::RunMainDialog(CDialog& dialog) {
    m_pMainWnd = &dialog;
    const INT_PTR result = dialog.DoModal();
    m_pMainWnd = nullptr;
    return result;
}

}  // namespace framework

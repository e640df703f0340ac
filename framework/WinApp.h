// The application object: one per program, started by the framework's WinMain.
#pragma once

#include <windows.h>

#include <string>

#include "framework/MessageMap.h"
#include "framework/Wnd.h"

namespace framework {

class CDialog;

// The standard Help command.
inline constexpr UINT ID_HELP = 0xE146;

class CWinApp : public CCmdTarget {
public:
    // The one application object registers itself; the framework's WinMain runs it.
    CWinApp();
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // False ends the program at once; true enters the message loop.
    virtual BOOL InitInstance();
    // The message loop; returns the exit code that WM_QUIT carries. Kitwright and Nameplate
    // run their one dialog inside InitInstance and return false, so neither enters it; it
    // is the framework's answer to a program that returns true.
    virtual int Run();

    // Runs `dialog` modally as the main window and returns what it ended with.
    INT_PTR RunMainDialog(CDialog& dialog);

    // Opens the program's help file, when one stands beside the program.
    void OnHelp();

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;

protected:
    // Kept so that the start-up reads as the framework's programs do, turning the look on
    // first; every Windows this program runs on draws dialogs and controls in three
    // dimensions itself, so there is nothing to load.
    BOOL Enable3dControls() { return TRUE; }
};

CWinApp* AfxGetApp();

// The module whose resources dialogs, icons and bitmaps come from: the one that WinMain
// was given, or the running program when no WinMain has run (as in tests).
HINSTANCE AfxGetInstanceHandle();

// Full file name of the running program, however long.
std::string AfxProgramFileName();

// The application's name: the program file's name without its extension.
std::string AfxAppName();

// Runs the application object: InitInstance, then the message loop if it asks for one.
int AfxWinMain(HINSTANCE instance);

// A modal message box; with no caption, the application's name is the caption.
int AfxMessageBox(HWND owner, const char* text, const char* caption = nullptr, UINT type = MB_OK);
// The same for text that the code page may not hold.
int AfxMessageBox(HWND owner, const wchar_t* text, const wchar_t* caption = nullptr,
                  UINT type = MB_OK);

}  // namespace framework

// Runs the real Kitwright.exe for tests and drives its windows through their messages.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace kitwright::testing {

// What the App Paths entry of railvane.exe says when Kitwright starts.
enum class Host { kRegistered, kNotRegistered, kEmptyPath };

struct SessionOptions {
    Host host = Host::kRegistered;
    const char* kuid = "12345";  // GetMyKUID's answer
    bool libraryWrites = true;   // whether ExtractFromPackage writes the asset folder
    // A folder holding a release of Kitwright (the real library, Nameplate.exe and the
    // templates beside it) to run instead of the build's program with the stand-ins.
    std::string releaseFolder;
    // The install root to register; empty for a Railvane folder inside the sandbox.
    std::string hostRoot;
};

// Polls `done` until it holds or a generous time has passed; returns its last answer.
bool WaitUntil(const std::function<bool()>& done);

// One run of Kitwright.exe from a sandbox folder of its own, beside the recording library
// and a recording Nameplate.exe. The host's install root (HostRoot) is registered, but the
// folder exists only once a test or the library makes it.
class KitwrightSession {
public:
    explicit KitwrightSession(SessionOptions options = {});
    ~KitwrightSession();
    KitwrightSession(const KitwrightSession&) = delete;
    KitwrightSession& operator=(const KitwrightSession&) = delete;

    const std::string& Folder() const { return folder_; }
    // Where Kitwright.exe runs from: the sandbox, or the release folder.
    const std::string& ProgramFolder() const { return programFolder_; }
    std::string HostRoot() const { return hostRoot_; }

    // A visible top-level window of Kitwright's with this caption, or null.
    HWND WaitForWindow(const std::string& caption) const;
    std::vector<HWND> VisibleWindows() const;
    bool WaitForExit() const;
    // Waits until every program that Kitwright launched has ended.
    void WaitForLaunchedPrograms() const;

    std::vector<std::string> LibraryCalls() const;
    // One line per launch: the program's file name and its parameters.
    std::vector<std::string> Launches() const;

private:
    bool IsRunning() const;

    std::string folder_;
    std::string programFolder_;
    std::string hostRoot_;
    HANDLE job_ = nullptr;
    PROCESS_INFORMATION process_ = {};
};

// The creation dialog of a running Kitwright.
class DialogDriver {
public:
    explicit DialogDriver(HWND dialog) : dialog_(dialog) {}

    HWND Window() const { return dialog_; }
    HWND Control(int id) const { return GetDlgItem(dialog_, id); }
    std::string Text(int id) const;

    // Typed character by character, as the keyboard would.
    void Type(int id, const std::string& text) const;
    void Clear(int id) const;
    // Chooses a class list item the way a program can: the list tells nobody, so the
    // notification is sent as the list would send it.
    void SelectClass(int index) const;
    void Click(int id) const { PostMessageA(Control(id), BM_CLICK, 0, 0); }

private:
    HWND dialog_;
};

// The text of a message box, which is its control 0xFFFF.
std::string MessageBoxText(HWND box);

}  // namespace kitwright::testing

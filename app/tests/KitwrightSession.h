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
    std::string HostRoot() const { return folder_ + "\\Railvane"; }

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
    HANDLE job_ = nullptr;
    PROCESS_INFORMATION process_ = {};
};

struct ClassItem {
    std::string text;
    int image;
    int selectedImage;
};

// The creation dialog of a running Kitwright.
class DialogDriver {
public:
    explicit DialogDriver(HWND dialog) : dialog_(dialog) {}

    HWND Window() const { return dialog_; }
    HWND Control(int id) const { return GetDlgItem(dialog_, id); }
    std::string Text(int id) const;
    bool IsEnabled(int id) const { return IsWindowEnabled(Control(id)) != FALSE; }

    // Typed character by character, as the keyboard would.
    void Type(int id, const std::string& text) const;
    void Clear(int id) const;
    // Chooses a class list item the way a program can: the list tells nobody, so the
    // notification is sent as the list would send it.
    void SelectClass(int index) const;
    std::vector<ClassItem> ClassItems() const;

    void FocusOn(int id) const;
    // Posts a key press to the focused control, as the keyboard would queue it.
    void PressKey(UINT virtualKey) const;
    // The id of the control that has the keyboard focus (of its parent control for the
    // parts of the class list), or 0.
    int FocusedControl() const;
    void Click(int id) const { PostMessageA(Control(id), BM_CLICK, 0, 0); }
    // Returns once everything posted to the dialog so far has been handled: messages are
    // handled in the order they were posted, so a marker posted last tells.
    void Settle() const;

private:
    HWND FocusedWindow() const;

    HWND dialog_;
};

// Saves a picture of the screen area that `window` covers as a PNG file.
bool SaveScreenshot(HWND window, const std::string& unixPath);

}  // namespace kitwright::testing

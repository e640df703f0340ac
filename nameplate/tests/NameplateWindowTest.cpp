// Runs the real Nameplate.exe and works its dialog as an author would, by window messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "velcomp/CreatorIdentity.h"

namespace {

constexpr char kContentKey[] = "Software\\Railvane\\Content";
constexpr int kCurrentId = 1001;
constexpr int kKuidId = 1002;

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\'));
}

std::string TextOf(HWND window) {
    char text[1024] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<OwnedSearch*>(data);
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) == "#32770" && GetWindow(window, GW_OWNER) == search->owner &&
        IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// A message box is a dialog owned by the window it reports to.
HWND WaitForOwnedDialog(HWND owner) {
    for (int i = 0; i < 200; ++i) {
        OwnedSearch search{owner, nullptr};
        EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
        if (search.found != nullptr) {
            return search.found;
        }
        Sleep(50);
    }
    return nullptr;
}

class NameplateWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = velcomp::ReadCreatorKuid();
        ForgetKuid();
    }
    void TearDown() override {
        if (process_.hProcess != nullptr) {
            TerminateProcess(process_.hProcess, 1);
            CloseHandle(process_.hProcess);
            CloseHandle(process_.hThread);
        }
        if (previous_ > 0) {
            velcomp::SetCreatorKuid(previous_);
        } else {
            ForgetKuid();
        }
    }

    static void ForgetKuid() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kContentKey, 0, KEY_SET_VALUE, &key) ==
            ERROR_SUCCESS) {
            RegDeleteValueA(key, "CreatorKUID");
            RegCloseKey(key);
        }
    }

    // Starts Nameplate.exe and returns its dialog.
    HWND Start() {
        std::string command = "\"" + ProgramFolder() + "\\Nameplate.exe\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        EXPECT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process_));
        for (int i = 0; i < 200; ++i) {
            HWND dialog = FindWindowA("#32770", "Nameplate");
            if (dialog != nullptr && IsWindowVisible(dialog)) {
                return dialog;
            }
            Sleep(50);
        }
        return nullptr;
    }

    void Type(HWND dialog, const char* text) {
        SendMessageA(GetDlgItem(dialog, kKuidId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    }

    void Press(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

    bool Ended() { return WaitForSingleObject(process_.hProcess, 10000) == WAIT_OBJECT_0; }
    bool Running() { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

    // Presses Save and returns the text of the box that the dialog answers with, which is
    // left open; the program must still be running behind it.
    std::string SaveAndReadTheAnswer(HWND dialog) {
        Press(dialog, IDOK);
        box_ = WaitForOwnedDialog(dialog);
        if (box_ == nullptr) {
            return "(no box)";
        }
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_TRUE(Running());
        return TextOf(GetDlgItem(box_, 0xFFFF));
    }

    void Dismiss() { Press(box_, IDOK); }

    // A second run of the program in the same test.
    HWND Restart() {
        CloseHandle(process_.hProcess);
        CloseHandle(process_.hThread);
        process_ = {};
        return Start();
    }

    PROCESS_INFORMATION process_ = {};
    HWND box_ = nullptr;
    std::int32_t previous_ = 0;
};

TEST_F(NameplateWindowTest, RefusesWhatIsNotAnIdentifierAndKeepsTheDialogOpen) {
    HWND dialog = Start();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(dialog, kCurrentId)), "(none set)");
    for (const char* text : {"abc", "0", "-1", "4294967296", "kuid:0", "<kuid:523456:1001>"}) {
        Type(dialog, text);
        Press(dialog, IDOK);
        HWND box = WaitForOwnedDialog(dialog);
        ASSERT_NE(box, nullptr) << text;
        const std::string message = TextOf(GetDlgItem(box, 0xFFFF));
        EXPECT_NE(message.find(std::string("\"") + text + "\" is not a creator identifier"),
                  std::string::npos)
            << message;
        EXPECT_NE(message.find("523456, kuid:523456 or <kuid:523456>"), std::string::npos)
            << message;
        Press(box, IDOK);
        for (int i = 0; i < 100 && IsWindow(box); ++i) {
            Sleep(50);
        }
        EXPECT_EQ(velcomp::ReadCreatorKuid(), 0) << text;
    }
    EXPECT_TRUE(IsWindow(dialog));
    Press(dialog, IDCANCEL);
    EXPECT_TRUE(Ended());
}

TEST_F(NameplateWindowTest, SavesAValidIdentifierWhereTheLibraryReadsIt) {
    HWND dialog = Start();
    ASSERT_NE(dialog, nullptr);
    Type(dialog, " 414243 ");
    EXPECT_EQ(SaveAndReadTheAnswer(dialog),
              "Your creator identifier 414243 is saved. Kitwright and the content library now "
              "use it.");
    EXPECT_EQ(velcomp::ReadCreatorKuid(), 414243);  // saved before the author is told
    Dismiss();
    ASSERT_TRUE(Ended());
    EXPECT_EQ(velcomp::ReadCreatorKuid(), 414243);

    dialog = Restart();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(dialog, kCurrentId)), "414243");
    Type(dialog, "7");
    Press(dialog, IDCANCEL);  // Close keeps what was saved
    ASSERT_TRUE(Ended());
    EXPECT_EQ(velcomp::ReadCreatorKuid(), 414243);
}

// The box names the number itself, however it was typed.
TEST_F(NameplateWindowTest, SavesTheTaggedFormsAsTheirNumber) {
    for (const auto& [text, kuid] : {std::pair<const char*, std::int32_t>{"kuid:523456", 523456},
                                     {" <KUID:2147483647> ", 2147483647}}) {
        HWND dialog = process_.hProcess == nullptr ? Start() : Restart();
        ASSERT_NE(dialog, nullptr) << text;
        Type(dialog, text);
        EXPECT_EQ(SaveAndReadTheAnswer(dialog),
                  "Your creator identifier " + std::to_string(kuid) +
                      " is saved. Kitwright and the content library now use it.");
        Dismiss();
        ASSERT_TRUE(Ended()) << text;
        EXPECT_EQ(velcomp::ReadCreatorKuid(), kuid) << text;
    }
}

// Text set in wide characters, as an input method or a paste brings it: fullwidth digits are
// the number, a letter that only looks like a digit's neighbour is named.
TEST_F(NameplateWindowTest, DigitsOfAnyScriptAreTheirNumberAndOtherCharactersAreNamed) {
    HWND dialog = Start();
    ASSERT_NE(dialog, nullptr);
    SendMessageW(GetDlgItem(dialog, kKuidId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"52\u0416"));
    HWND box = nullptr;
    Press(dialog, IDOK);
    box = WaitForOwnedDialog(dialog);
    ASSERT_NE(box, nullptr);
    wchar_t message[1024] = {};
    SendMessageW(GetDlgItem(box, 0xFFFF), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(message));
    EXPECT_NE(std::wstring(message).find(L"The character \u0416 (U+0416) is not part of one."),
              std::wstring::npos);
    Press(box, IDOK);
    for (int i = 0; i < 100 && IsWindow(box); ++i) {
        Sleep(50);
    }
    EXPECT_EQ(velcomp::ReadCreatorKuid(), 0);

    SendMessageW(GetDlgItem(dialog, kKuidId), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(L"\uFF15\uFF12\uFF13\uFF14\uFF15\uFF16"));
    EXPECT_EQ(SaveAndReadTheAnswer(dialog),
              "Your creator identifier 523456 is saved. Kitwright and the content library now "
              "use it.");
    Dismiss();
    ASSERT_TRUE(Ended());
    EXPECT_EQ(velcomp::ReadCreatorKuid(), 523456);
}

}  // namespace

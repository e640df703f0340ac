// What reaches the library from text pasted or set in the dialog's fields, under the
// system's real code page: 1252 by default, 932 under LC_ALL=ja_JP.UTF-8.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "creation/Locations.h"
#include "creation/tests/Fakes.h"
#include "platform/win32/Win32Platform.h"
#include "ui/tests/DrivenDialog.h"

namespace kitwright::testing {
namespace {

// The recording platform, converting as Windows does in this process's code page.
class CodePagePlatform : public RecordingPlatform {
public:
    using RecordingPlatform::RecordingPlatform;
    bool IsLeadByte(unsigned char byte) override { return real_.IsLeadByte(byte); }
    std::wstring WideText(const std::string& text) override { return real_.WideText(text); }
    bool ToCodePage(const std::wstring& text, std::string& bytes) override {
        return real_.ToCodePage(text, bytes);
    }
    unsigned AnsiCodePage() override { return real_.AnsiCodePage(); }
    // Messages as the author reads them, in UTF-8, whatever the code page.
    void ShowMessage(const std::wstring& text) override {
        RecordingPlatform::ShowMessage(text);
        shown.push_back(text);
    }
    std::vector<std::wstring> shown;

private:
    Win32Platform real_;
};

void PasteInto(HWND field, const std::wstring& text) {
    ASSERT_TRUE(OpenClipboard(field));
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
    SendMessageW(field, EM_SETSEL, 0, -1);
    SendMessageW(field, WM_PASTE, 0, 0);
}

void SetWide(HWND field, const std::wstring& text) {
    SendMessageW(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    // A multi-line field does not report a text set from outside.
    SendMessageW(GetParent(field), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(field), EN_CHANGE),
                 reinterpret_cast<LPARAM>(field));
}

std::wstring WideTextOf(HWND field) {
    wchar_t text[512] = {};
    GetWindowTextW(field, text, 512);
    return text;
}

enum class Entry { kPasted, kSet };

class TypedText : public ::testing::TestWithParam<Entry> {
protected:
    TypedText() {
        platform.machineValues[std::string(kInstallKey) + "|" + kPathValue] = "C:\\Sim";
        platform.existing.insert("C:\\Sim");
    }

    void Enter(DrivenDialog& d, int id, const std::wstring& text) {
        if (GetParam() == Entry::kPasted) {
            PasteInto(d.Control(id), text);
        } else {
            SetWide(d.Control(id), text);
        }
    }

    // Creates with the Name and Description entered; returns the one message shown, if any.
    std::wstring CreateWith(const std::wstring& name, const std::wstring& description,
                            bool* leftOpen = nullptr) {
        const INT_PTR ended = Run([&](DrivenDialog& d) {
            Enter(d, IDC_NAME, name);
            Enter(d, IDC_DESCRIPTION, description);
            d.Click(IDOK);
            if (d.IsOpen()) {
                // The author's text stays as it was typed.
                EXPECT_EQ(WideTextOf(d.Control(IDC_NAME)), name);
                EXPECT_EQ(WideTextOf(d.Control(IDC_DESCRIPTION)), description);
            }
        });
        if (leftOpen != nullptr) {
            *leftOpen = ended == DrivenDialog::kLeftOpen;
        }
        return platform.shown.empty() ? std::wstring() : platform.shown.back();
    }

    INT_PTR Run(DrivenDialog::Steps steps) {
        DrivenDialog dialog(platform, library, std::move(steps));
        return dialog.DoModal();
    }

    bool PackageBegun() const {
        return std::find(log.begin(), log.end(), "ClosePackage") != log.end();
    }
    bool Logged(const std::string& call) const {
        return std::find(log.begin(), log.end(), call) != log.end();
    }

    CallLog log;
    CodePagePlatform platform{log};
    RecordingLibrary library{log, platform};
};

std::wstring RefusedName(const std::wstring& name, const std::wstring& character,
                         const std::wstring& codePage) {
    return L"The name \"" + name + L"\" cannot be used: the character " + character +
           L" cannot be stored in this computer's code page (" + codePage +
           L"), so the asset would get another name.\n\nPlease type the name without that "
           L"character. Nothing was created.";
}

// Each of these once reached the library as something else: a look-alike, or '?'.
TEST_P(TypedText, InCodePage1252NamesItCannotHoldAreRefusedAndKept) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "code page " << GetACP();
    }
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"x\uFF3Cy", L"\uFF3C (U+FF3C)"},
        {L"a\uFF0Fb", L"\uFF0F (U+FF0F)"},
        {L"a\u2215b", L"\u2215 (U+2215)"},
        {L"\u2024", L"\u2024 (U+2024)"},
        {L"\uFB01le", L"\uFB01 (U+FB01)"},
        {L"\u0416\u0438\u043B\u043E\u0439 \u0434\u043E\u043C", L"\u0416 (U+0416)"},
        {L"\u8868", L"\u8868 (U+8868)"},
        {L"Loco \xD83D\xDE82", L"\xD83D\xDE82 (U+1F682)"},  // one character in two units
    };
    for (const auto& [name, character] : cases) {
        log.clear();
        platform.shown.clear();
        bool leftOpen = false;
        EXPECT_EQ(CreateWith(name, L"A shop", &leftOpen),
                  RefusedName(name, character, L"Windows-1252"));
        EXPECT_TRUE(leftOpen);
        EXPECT_FALSE(PackageBegun());
    }
}

TEST_P(TypedText, InCodePage1252AnExactTextReachesTheLibraryByteForByte) {
    if (GetACP() != 1252) {
        GTEST_SKIP() << "code page " << GetACP();
    }
    CreateWith(L"Caf\u00E9 \u20AC", L"Two\r\nlines \u00BD");
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_TRUE(
        Logged("AddToPackageSpecial C:\\Tools\\Kitwright\\templates\\std_scenery\\|"
               "Caf\xE9 \x80|Two\r\nlines \xBD|BC"));

    log.clear();
    platform.shown.clear();
    bool leftOpen = false;
    const std::wstring said = CreateWith(L"Shop", L"Line one\r\nx\uFF3Cy", &leftOpen);
    EXPECT_TRUE(leftOpen);
    EXPECT_FALSE(PackageBegun());
    EXPECT_EQ(said.rfind(L"The description cannot be used: the character \uFF3C (U+FF3C) cannot "
                         L"be stored in this computer's code page (Windows-1252)",
                         0),
              0u)
        << said.c_str();
}

// ソ and ポ have 0x5C and 0x7C as their second byte; é is not in Shift-JIS at all.
TEST_P(TypedText, InCodePage932DoubleByteNamesPassAndOthersAreRefused) {
    if (GetACP() != 932) {
        GTEST_SKIP() << "code page " << GetACP();
    }
    CreateWith(L"\u30BD\u30DD\\\u8868", L"\u8AAC\u660E\r\n2");
    EXPECT_TRUE(platform.shown.empty());
    EXPECT_TRUE(
        Logged("ExtractFromPackage C:\\Sim\\World\\Custom\\Scenery\\|"
               "\x83\x5C\x83\x7C\\\x95\x5C"));
    EXPECT_TRUE(Logged("SetStringData description=\x90\xE0\x96\xBE\r\n2"));

    for (const auto& [name, character] :
         {std::pair<std::wstring, std::wstring>{L"caf\u00E9", L"\u00E9 (U+00E9)"},
          {L"x\u00A5", L"\u00A5 (U+00A5)"}}) {
        log.clear();
        platform.shown.clear();
        EXPECT_EQ(CreateWith(name, L"A shop"), RefusedName(name, character, L"Shift-JIS, 932"));
        EXPECT_FALSE(PackageBegun());
    }
}

INSTANTIATE_TEST_SUITE_P(PastedOrSet, TypedText, ::testing::Values(Entry::kPasted, Entry::kSet),
                         [](const auto& info) {
                             return info.param == Entry::kPasted ? "Pasted" : "SetWide";
                         });

}  // namespace
}  // namespace kitwright::testing

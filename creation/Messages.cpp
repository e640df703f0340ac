#include "creation/Messages.h"

#include <algorithm>
#include <cwctype>

#include "creation/CodePageText.h"
#include "creation/MessageFit.h"
#include "names/AssetName.h"

namespace kitwright::messages {
namespace {

std::wstring Reason(Platform& platform, const std::string& reason) {
    return BreakLongRuns(platform.WideText(reason));
}

std::wstring Lowered(std::wstring text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    return text;
}

// Windows lets only administrators write below Program Files (x86 or not).
bool IsUnderProgramFiles(const std::wstring& path) {
    return Lowered(path).find(L":\\program files") != std::wstring::npos;
}

std::wstring Unstorable(Platform& platform, const std::wstring& subject,
                        const std::wstring& character, const std::wstring& consequence) {
    return subject + L" cannot be used: the character " + CharacterWithCode(character) +
           L" cannot be stored in this computer's code page (" +
           CodePageName(platform.AnsiCodePage()) + L"), so " + consequence + L".";
}

// ASCII text, as the name rules word their refusals.
std::wstring Widened(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}

// The library's reason for a failed write-out, if it gives one, and what the author can do
// about it: write rights in the category's folder, and room on its disk.
std::wstring ReasonAndWhatToDo(Platform& platform, const std::string& destination,
                               const std::string& reason) {
    std::wstring text;
    if (!reason.empty()) {
        text += L"\n\nThe library gives the reason: " + Reason(platform, reason);
    }
    if (IsUnderProgramFiles(platform.WideText(destination))) {
        return text +
               L"\n\nRailvane is installed under Program Files, where Windows lets only "
               L"administrators write. Make its World\\Custom folder writable for your user "
               L"account (right-click it, Properties, Security, Edit), or start Kitwright with "
               L"\"Run as administrator\", then press Create again.";
    }
    return text + L"\n\nMake sure that you may write in\n\n" + Quoted(platform, destination) +
           L"\n\nand that its disk has room, then press Create again.";
}

}  // namespace

std::wstring AssetExists() {
    return Widened(names::kAssetExists);
}

std::wstring Quoted(Platform& platform, const std::string& text) {
    return ShortenMiddle(platform.WideText(text));
}

std::wstring PathTooLong(Platform& platform, const std::string& path) {
    return L"This path is longer than the " + std::to_wstring(names::kMaxPathLength) +
           L" characters that Windows allows:\n\n" + Quoted(platform, path) +
           L"\n\nPlease choose a shorter name.";
}

std::wstring HostNotFound(Platform& platform, const std::string& installRoot) {
    if (installRoot.empty()) {
        return std::wstring(
            L"Railvane was not found: its App Paths entry (railvane.exe) is missing "
            L"or names no folder, so there is nowhere to put the asset.\n\nInstall "
            L"Railvane, then press Create again.");
    }
    return L"Railvane was not found in\n\n" + Quoted(platform, installRoot) +
           L"\n\nthe folder that its App Paths entry names. Install Railvane there, or correct "
           L"the entry, then press Create again.";
}

std::wstring StockModel(Platform& platform, const std::string& missing) {
    const std::wstring start = L"Repaints are made from the stock models of Railvane Livery Loft";
    if (missing.empty()) {
        return start +
               L", which was not found: its App Paths entry (Railvane Livery Loft.exe) is "
               L"missing or names no folder.\n\nInstall Railvane Livery Loft, then press Create "
               L"again.";
    }
    return start + L", but this folder is missing:\n\n" + Quoted(platform, missing) +
           L"\n\nReinstall Railvane Livery Loft, then press Create again.";
}

std::wstring ErrorAdding(Platform& platform, const std::string& source, const std::string& error) {
    return L"Error Adding: " + Quoted(platform, source) + L"\n\n" + Reason(platform, error);
}

std::wstring NameRefused(const std::wstring& name, const std::wstring& reason) {
    return L"The name \"" + ShortenMiddle(name) + L"\" cannot be used: " + BreakLongRuns(reason) +
           L".\n\nUse a name such as Shop, or folders separated by backslashes such as "
           L"Shops\\Corner.";
}

std::wstring Alias(Platform& platform, const std::wstring& name, const std::string& folder,
                   const std::string& stored) {
    return L"The name \"" + ShortenMiddle(name) + L"\" cannot be used: " +
           Widened(names::kAliasReason) + L"\n\n" + Quoted(platform, folder + stored) +
           L"\n\nPlease choose another name.";
}

std::wstring NameUnstorable(Platform& platform, const std::wstring& name,
                            const std::wstring& character) {
    return Unstorable(platform, L"The name \"" + ShortenMiddle(name) + L"\"", character,
                      L"the asset would get another name") +
           L"\n\nPlease type the name without that character.";
}

std::wstring DescriptionUnstorable(Platform& platform, const std::wstring& character) {
    return Unstorable(platform, L"The description", character,
                      L"config.txt would hold another character in its place") +
           L"\n\nPlease type the description without that character.";
}

std::wstring WouldCreate(Platform& platform, const std::string& assetFolder, const ClassRow& row) {
    const std::wstring source =
        IsReskinRow(row)
            ? L"the stock model " + platform.WideText(ModelName(row)) + L" of Railvane Livery Loft"
            : L"the template " + platform.WideText(row.templateName);
    return L"Creates " + Quoted(platform, assetFolder) + L", from " + source + L".";
}

std::wstring WrittenWithNote(Platform& platform, const std::string& assetFolder,
                             const std::string& note) {
    return L"The asset was written to\n\n" + Quoted(platform, assetFolder) + L"\n\n" +
           Reason(platform, note);
}

std::wstring NotComplete(Platform& platform, const std::string& assetFolder,
                         const std::string& destination, const std::string& reason) {
    return L"The asset could not be written:\n\n" + Quoted(platform, assetFolder) +
           L"\n\nThe folder holds no config.txt, so the asset is not complete." +
           ReasonAndWhatToDo(platform, destination, reason);
}

std::wstring NothingWritten(Platform& platform, const std::string& assetFolder,
                            const std::string& destination, const std::string& reason) {
    return L"The asset could not be written to\n\n" + Quoted(platform, assetFolder) +
           L"\n\nNothing was written." + ReasonAndWhatToDo(platform, destination, reason);
}

}  // namespace kitwright::messages

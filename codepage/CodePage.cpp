#include "codepage/CodePage.h"

#include <windows.h>

namespace codepage {
namespace {

// WC_ERR_INVALID_CHARS, which the headers offer only to programs that need Vista.
constexpr DWORD kErrorOnInvalidCharacters = 0x80;

}  // namespace

std::wstring Widen(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, bytes.data(), length, nullptr, nullptr);
    return bytes;
}

// Best fit would turn a fullwidth backslash into a real one; the round trip catches what the
// default-character flag cannot report, and is all there is for UTF-8, which takes no flags.
bool NarrowExactly(std::wstring_view text, std::string& bytes) {
    bytes.clear();
    if (text.empty()) {
        return true;
    }
    const UINT codePage = GetACP();
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? kErrorOnInvalidCharacters : WC_NO_BEST_FIT_CHARS;
    const int size = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    BOOL* reportDefault = utf8 ? nullptr : &usedDefault;
    const int length =
        WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, reportDefault);
    if (length <= 0 || usedDefault) {
        return false;
    }
    bytes.assign(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(codePage, flags, text.data(), size, bytes.data(), length, nullptr,
                        reportDefault);
    if (usedDefault || Widen(bytes) != text) {
        bytes.clear();
        return false;
    }
    return true;
}

bool IsLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

unsigned AnsiCodePage() {
    return GetACP();
}

}  // namespace codepage

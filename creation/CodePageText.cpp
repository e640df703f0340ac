#include "creation/CodePageText.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

#include "names/Utf16.h"

namespace kitwright {
namespace {

unsigned long CodePoint(const std::wstring& character) {
    std::size_t at = 0;
    return character.empty() ? 0 : names::NextCodePoint(character, at);
}

struct NamedCodePage {
    unsigned number;
    const wchar_t* name;
};

constexpr NamedCodePage kCodePageNames[] = {
    {874, L"Windows-874"},   {932, L"Shift-JIS, 932"}, {936, L"GBK, 936"},
    {949, L"Korean, 949"},   {950, L"Big5, 950"},      {1250, L"Windows-1250"},
    {1251, L"Windows-1251"}, {1252, L"Windows-1252"},  {1253, L"Windows-1253"},
    {1254, L"Windows-1254"}, {1255, L"Windows-1255"},  {1256, L"Windows-1256"},
    {1257, L"Windows-1257"}, {1258, L"Windows-1258"},  {65001, L"UTF-8"},
};

}  // namespace

std::size_t CharacterSize(const std::wstring& text, std::size_t at) {
    std::size_t next = at;
    names::NextCodePoint(text, next);
    return next - at;
}

// The whole text is converted at once, so that a code page's own sequences stay as they
// convert in context; only a failure is looked into character by character.
CodePageText ToCodePageExactly(Platform& platform, const std::wstring& text) {
    CodePageText result;
    if (platform.ToCodePage(text, result.bytes)) {
        return result;
    }
    result.bytes.clear();
    for (std::size_t at = 0; at < text.size();) {
        const std::wstring character = text.substr(at, CharacterSize(text, at));
        std::string ignored;
        if (!platform.ToCodePage(character, ignored)) {
            result.unstorable = character;
            return result;
        }
        at += character.size();
    }
    result.unstorable = text.empty() ? std::wstring(1, L'?') : text.substr(0, 1);
    return result;
}

std::wstring CharacterWithCode(const std::wstring& character) {
    wchar_t code[16] = {};
    std::swprintf(code, std::size(code), L"U+%04lX", CodePoint(character));
    return character + L" (" + code + L")";
}

std::size_t LastCharacterAt(Platform& platform, const std::string& text) {
    std::size_t last = std::string::npos;
    for (std::size_t at = 0; at < text.size();
         at += platform.IsLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1) {
        last = at;
    }
    return last;
}

std::size_t NextBackslash(Platform& platform, const std::string& text, std::size_t start) {
    std::size_t at = start;
    while (at < text.size() && text[at] != '\\') {
        at += platform.IsLeadByte(static_cast<unsigned char>(text[at])) ? 2 : 1;
    }
    return std::min(at, text.size());
}

std::wstring CodePageName(unsigned codePage) {
    for (const NamedCodePage& known : kCodePageNames) {
        if (known.number == codePage) {
            return known.name;
        }
    }
    return L"code page " + std::to_wstring(codePage);
}

}  // namespace kitwright

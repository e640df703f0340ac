#include "creation/MessageFit.h"

#include "creation/CodePageText.h"
#include "names/Utf16.h"

namespace kitwright {
namespace {

constexpr wchar_t kEllipsis = L'\u2026';

// Hangul, CJK, kana and fullwidth forms take two columns; everything else one.
std::size_t ColumnsOf(wchar_t unit) {
    const unsigned long code = names::CodeUnit(unit);
    const bool wide = (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
                      (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
                      (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
                      (code >= 0xFFE0 && code <= 0xFFE6) || code >= 0x10000;
    const bool trail = names::IsLowSurrogate(code);  // counted with its lead
    return trail ? 0 : wide || names::IsHighSurrogate(code) ? 2 : 1;
}

// The longest start of `text` (from the front, or from the back) that fits in `columns`,
// never splitting a surrogate pair.
std::size_t FittingStart(const std::wstring& text, std::size_t columns) {
    std::size_t used = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t size = CharacterSize(text, at);
        const std::size_t width = Columns(text.substr(at, size));
        if (used + width > columns) {
            break;
        }
        used += width;
        at += size;
    }
    return at;
}

std::size_t FittingEnd(const std::wstring& text, std::size_t columns) {
    std::size_t used = 0;
    std::size_t at = text.size();
    while (at > 0) {
        std::size_t start = at - 1;
        if (start > 0 && CharacterSize(text, start - 1) == 2) {
            --start;
        }
        const std::size_t width = Columns(text.substr(start, at - start));
        if (used + width > columns) {
            break;
        }
        used += width;
        at = start;
    }
    return at;
}

}  // namespace

std::size_t Columns(const std::wstring& text) {
    std::size_t columns = 0;
    for (const wchar_t unit : text) {
        columns += ColumnsOf(unit);
    }
    return columns;
}

std::wstring ShortenMiddle(const std::wstring& text, std::size_t columns) {
    if (Columns(text) <= columns || columns < 3) {
        return text;
    }
    const std::size_t kept = columns - 1;  // the ellipsis takes one
    const std::wstring front = text.substr(0, FittingStart(text, kept - kept / 2));
    const std::wstring back = text.substr(FittingEnd(text, kept / 2));
    return front + kEllipsis + back;
}

std::wstring BreakLongRuns(const std::wstring& text, std::size_t columns) {
    std::wstring wrapped;
    std::size_t run = 0;
    for (std::size_t at = 0; at < text.size();) {
        const std::wstring character = text.substr(at, CharacterSize(text, at));
        at += character.size();
        const bool breaks = character == L" " || character == L"\n" || character == L"\t";
        const std::size_t width = Columns(character);
        if (!breaks && run + width > columns) {
            wrapped += L'\n';
            run = 0;
        }
        wrapped += character;
        run = breaks ? 0 : run + width;
    }
    return wrapped;
}

}  // namespace kitwright

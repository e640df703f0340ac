// UTF-16 as Windows keeps text: a character beyond U+FFFF is a pair of units, a high
// surrogate and then a low one.
#pragma once

#include <cstddef>
#include <string>
#include <type_traits>

namespace names {

inline bool IsHighSurrogate(unsigned long unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

inline bool IsLowSurrogate(unsigned long unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

inline unsigned long CodeUnit(wchar_t unit) {
    return static_cast<std::make_unsigned_t<wchar_t>>(unit);
}

// The character that starts at `at` of a wide text (UTF-16, or code points where wchar_t
// holds them), and `at` moved to the next one. A surrogate without its partner stands for
// itself.
inline unsigned long NextCodePoint(const std::wstring& text, std::size_t& at) {
    const unsigned long unit = CodeUnit(text[at++]);
    if (IsHighSurrogate(unit) && at < text.size() && IsLowSurrogate(CodeUnit(text[at]))) {
        const unsigned long low = CodeUnit(text[at++]);
        return 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
    }
    return unit;
}

}  // namespace names

// The author's text in the 8-bit code page that the library's texts use, kept exactly or
// not at all: a character that the code page lacks is never replaced by a look-alike.
#pragma once

#include <string>

#include "creation/Platform.h"

namespace kitwright {

struct CodePageText {
    std::string bytes;        // the text in the code page, when every character converts
    std::wstring unstorable;  // otherwise the first character that the code page lacks
    bool exact() const { return unstorable.empty(); }
};

CodePageText ToCodePageExactly(Platform& platform, const std::wstring& text);

// How many UTF-16 units (or wide characters) the character at `at` takes: 2 for a
// surrogate pair, else 1.
std::size_t CharacterSize(const std::wstring& text, std::size_t at);

// The character as the author sees it, with its code: "Ж (U+0416)".
std::wstring CharacterWithCode(const std::wstring& character);

// The code page as people know it: "Windows-1252", "Shift-JIS, 932".
std::wstring CodePageName(unsigned codePage);

// Walking 8-bit text of the code page by character, so that the second byte of a double-byte
// character is never taken for a backslash of its own.
// Where the last character of `text` starts; npos for the empty text.
std::size_t LastCharacterAt(Platform& platform, const std::string& text);
// Where the next backslash character at or after `start` is; the text's size when none is.
std::size_t NextBackslash(Platform& platform, const std::string& text, std::size_t start);

}  // namespace kitwright

// Text in the system's ANSI code page and in UTF-16, converted the same way wherever the
// program or the library meets Windows' wide calls. Windows only.
#pragma once

#include <string>
#include <string_view>

namespace codepage {

// The 8-bit text of the code page in UTF-16.
std::wstring Widen(std::string_view text);

// UTF-16 in the code page, for texts that are only shown: a character that the code page
// lacks becomes its default character.
std::string Narrow(std::wstring_view text);

// UTF-16 in the code page, true only when every character is kept exactly: never a best-fit
// look-alike, never the default character.
bool NarrowExactly(std::wstring_view text, std::string& bytes);

// Whether `byte` starts a two-byte character of the code page.
bool IsLeadByte(unsigned char byte);

// The number of the ANSI code page (1252, 932...).
unsigned AnsiCodePage();

}  // namespace codepage

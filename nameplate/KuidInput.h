// What the author may type as a creator identifier.
#pragma once

#include <cstdint>
#include <string>

namespace nameplate {

inline constexpr std::int32_t kLargestKuid = 2147483647;

struct KuidInput {
    bool valid = false;
    std::int32_t kuid = 0;
    std::string problem;  // why the text was refused, ready for a message box; UTF-8
};

// Accepts a positive whole number on its own, as kuid:N or as <kuid:N> (kuid in any case),
// with blanks around it; refuses anything else.
KuidInput ParseKuid(const std::string& text);

// The same for the field's text as typed. A decimal digit of any script (fullwidth ５,
// Arabic-Indic ٥) is the digit it stands for; any other character outside ASCII is refused,
// named with its code, never replaced by a look-alike.
KuidInput ParseKuid(const std::wstring& typed);

}  // namespace nameplate

#include "nameplate/KuidInput.h"

#include <charconv>
#include <cstdio>
#include <iterator>
#include <optional>

#include "names/Utf16.h"
#include "velcomp/Kuid.h"

namespace nameplate {
namespace {

std::string Trimmed(const std::string& text) {
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) {
        return std::string();
    }
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

KuidInput Refused(const std::string& text) {
    KuidInput input;
    input.problem = text.empty() ? std::string("Please enter your creator identifier (KUID).")
                                 : "\"" + text + "\" is not a creator identifier.";
    input.problem += "\n\nEnter a whole number from 1 to " + std::to_string(kLargestKuid) +
                     ", such as 523456, kuid:523456 or <kuid:523456>.";
    return input;
}

// The zero of every run of ten decimal digits in the Basic Multilingual Plane.
constexpr unsigned kDigitZeros[] = {
    0x0030, 0x0660, 0x06F0, 0x07C0, 0x0966, 0x09E6, 0x0A66, 0x0AE6, 0x0B66, 0x0BE6,
    0x0C66, 0x0CE6, 0x0D66, 0x0DE6, 0x0E50, 0x0ED0, 0x0F20, 0x1040, 0x1090, 0x17E0,
    0x1810, 0x1946, 0x19D0, 0x1A80, 0x1A90, 0x1B50, 0x1BB0, 0x1C40, 0x1C50, 0xA620,
    0xA8D0, 0xA900, 0xA9D0, 0xA9F0, 0xAA50, 0xABF0, 0xFF10,
};

// The digit's value, or -1 for a character that is no decimal digit.
int DigitValue(unsigned long code) {
    for (const unsigned zero : kDigitZeros) {
        if (code >= zero && code < zero + 10) {
            return static_cast<int>(code - zero);
        }
    }
    return -1;
}

void AppendUtf8(std::string& text, unsigned long code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += {static_cast<char>(0xC0 | code >> 6), static_cast<char>(0x80 | (code & 0x3F))};
    } else if (code < 0x10000) {
        text += {static_cast<char>(0xE0 | code >> 12), static_cast<char>(0x80 | (code >> 6 & 0x3F)),
                 static_cast<char>(0x80 | (code & 0x3F))};
    } else {
        text +=
            {static_cast<char>(0xF0 | code >> 18), static_cast<char>(0x80 | (code >> 12 & 0x3F)),
             static_cast<char>(0x80 | (code >> 6 & 0x3F)), static_cast<char>(0x80 | (code & 0x3F))};
    }
}

std::string Utf8(const std::wstring& text) {
    std::string utf8;
    for (std::size_t at = 0; at < text.size();) {
        AppendUtf8(utf8, names::NextCodePoint(text, at));
    }
    return utf8;
}

KuidInput RefusedCharacter(const std::wstring& typed, unsigned long code) {
    KuidInput input = Refused(Trimmed(Utf8(typed)));
    std::string character;
    AppendUtf8(character, code);
    char number[16] = {};
    std::snprintf(number, std::size(number), "U+%04lX", code);
    const std::size_t reasonEnd = input.problem.find("\n\n");
    input.problem.insert(reasonEnd,
                         " The character " + character + " (" + number + ") is not part of one.");
    return input;
}

}  // namespace

KuidInput ParseKuid(const std::wstring& typed) {
    std::string text;
    for (std::size_t at = 0; at < typed.size();) {
        const unsigned long code = names::NextCodePoint(typed, at);
        const int digit = code < 0x80 ? -1 : DigitValue(code);
        if (code >= 0x80 && digit < 0) {
            return RefusedCharacter(typed, code);
        }
        text += digit >= 0 ? static_cast<char>('0' + digit) : static_cast<char>(code);
    }
    KuidInput input = ParseKuid(text);
    if (!input.valid) {
        input = Refused(Trimmed(Utf8(typed)));  // quoted as typed, not as read
    }
    return input;
}

KuidInput ParseKuid(const std::string& text) {
    const std::string typed = Trimmed(text);
    std::int64_t value = 0;
    if (!typed.empty() && typed.find_first_not_of("0123456789") == std::string::npos) {
        const auto [end, error] = std::from_chars(typed.data(), typed.data() + typed.size(), value);
        if (error != std::errc()) {
            return Refused(typed);
        }
    } else if (const std::optional<velcomp::Kuid> kuid = velcomp::ReadKuid(typed);
               kuid && !kuid->number) {
        value = kuid->creator;  // a creator's own kuid, without an asset's number
    }
    if (value < 1 || value > kLargestKuid) {
        return Refused(typed);
    }
    KuidInput input;
    input.valid = true;
    input.kuid = static_cast<std::int32_t>(value);
    return input;
}

}  // namespace nameplate

#include "nameplate/KuidInput.h"

#include <cctype>

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

bool StartsWithKuidTag(const std::string& text) {
    const std::string tag = "kuid:";
    if (text.size() < tag.size()) {
        return false;
    }
    for (std::size_t i = 0; i < tag.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) != tag[i]) {
            return false;
        }
    }
    return true;
}

// The number's text in "N", "kuid:N" or "<kuid:N>"; without a tag the text itself, which
// then has to be a number. Brackets without a tag leave nothing.
std::string NumberPart(const std::string& text) {
    const bool bracketed = text.size() >= 2 && text.front() == '<' && text.back() == '>';
    const std::string inner = bracketed ? text.substr(1, text.size() - 2) : text;
    if (StartsWithKuidTag(inner)) {
        return inner.substr(5);
    }
    return bracketed ? std::string() : inner;
}

KuidInput Refused(const std::string& text) {
    KuidInput input;
    input.problem = text.empty() ? std::string("Please enter your creator identifier (KUID).")
                                 : "\"" + text + "\" is not a creator identifier.";
    input.problem += "\n\nEnter a whole number from 1 to " + std::to_string(kLargestKuid) +
                     ", such as 523456, kuid:523456 or <kuid:523456>.";
    return input;
}

}  // namespace

KuidInput ParseKuid(const std::string& text) {
    const std::string typed = Trimmed(text);
    const std::string digits = NumberPart(typed);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) {
        return Refused(typed);
    }
    std::int64_t value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
        if (value > kLargestKuid) {
            return Refused(typed);
        }
    }
    if (value == 0) {
        return Refused(typed);
    }
    KuidInput input;
    input.valid = true;
    input.kuid = static_cast<std::int32_t>(value);
    return input;
}

}  // namespace nameplate

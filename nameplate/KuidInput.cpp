#include "nameplate/KuidInput.h"

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
    input.problem += "\n\nEnter a whole number from 1 to " + std::to_string(kLargestKuid) + ".";
    return input;
}

}  // namespace

KuidInput ParseKuid(const std::string& text) {
    const std::string digits = Trimmed(text);
    if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos) {
        return Refused(digits);
    }
    std::int64_t value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
        if (value > kLargestKuid) {
            return Refused(digits);
        }
    }
    if (value == 0) {
        return Refused(digits);
    }
    KuidInput input;
    input.valid = true;
    input.kuid = static_cast<std::int32_t>(value);
    return input;
}

}  // namespace nameplate

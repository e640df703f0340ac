#include "names/AssetName.h"

#include <cstdio>
#include <string>
#include <type_traits>

namespace names {
namespace {

template <class CharT>
unsigned long Code(CharT c) {
    return static_cast<std::make_unsigned_t<CharT>>(c);
}

template <class CharT>
bool IsSlash(CharT c) {
    return c == CharT('\\') || c == CharT('/');
}

// The reason a character cannot stand in a Windows file name, or nothing.
template <class CharT>
std::string ForbiddenCharacter(CharT c) {
    const unsigned long code = Code(c);
    if (code < 0x20) {
        char text[64];
        std::snprintf(text, sizeof text, "it holds a control character (code %lu)", code);
        return text;
    }
    for (const char forbidden : std::string_view("<>:\"/|?*")) {
        if (code == static_cast<unsigned char>(forbidden)) {
            return std::string("it holds the character ") + forbidden +
                   ", which Windows does not allow in names";
        }
    }
    return {};
}

// Superscript one, two and three: Latin-1 codes, the same in code page 1252 and UTF-16.
bool IsSuperscriptDigit(unsigned long code) {
    return code == 0xB9 || code == 0xB2 || code == 0xB3;
}

// The ASCII letters of `text` in upper case; false when it holds any other character.
template <class CharT>
bool AsciiUpperText(std::basic_string_view<CharT> text, std::string& upper) {
    for (const CharT c : text) {
        if (Code(c) > 0x7F) {
            return false;
        }
        upper += static_cast<char>(AsciiUpper(c));
    }
    return true;
}

// CON, PRN, AUX, NUL, CONIN$, CONOUT$, and COM or LPT with one digit or superscript digit
// name devices, whatever follows the first dot and however many spaces end the base.
template <class CharT>
bool IsDeviceName(std::basic_string_view<CharT> segment) {
    auto base = segment.substr(0, segment.find(CharT('.')));
    while (!base.empty() && base.back() == CharT(' ')) {
        base.remove_suffix(1);
    }
    if (base.size() == 4) {
        const unsigned long last = Code(base[3]);
        std::string prefix;
        return ((last >= '0' && last <= '9') || IsSuperscriptDigit(last)) &&
               AsciiUpperText(base.substr(0, 3), prefix) && (prefix == "COM" || prefix == "LPT");
    }
    std::string upper;
    if (!AsciiUpperText(base, upper)) {
        return false;
    }
    return upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL" ||
           upper == "CONIN$" || upper == "CONOUT$";
}

// Whether `segment` ends in `suffix`, ASCII letters compared without case.
template <class CharT>
bool EndsInAsciiNoCase(std::basic_string_view<CharT> segment, std::string_view suffix) {
    if (segment.size() < suffix.size()) {
        return false;
    }
    const auto tail = segment.substr(segment.size() - suffix.size());
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        if (Code(AsciiUpper(tail[i])) != Code(AsciiUpper(suffix[i]))) {
            return false;
        }
    }
    return true;
}

constexpr char kDeviceNames[] =
    "CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9 and LPT0-9, also with a superscript 1, 2 or 3";

template <class CharT>
std::string ForbiddenCharacterIn(std::basic_string_view<CharT> text) {
    for (const CharT c : text) {
        std::string reason = ForbiddenCharacter(c);
        if (!reason.empty()) {
            return reason;
        }
    }
    return {};
}

template <class CharT>
bool EndsInDotOrSpace(std::basic_string_view<CharT> text) {
    return text.back() == CharT('.') || text.back() == CharT(' ');
}

template <class CharT>
std::string SegmentProblem(std::basic_string_view<CharT> segment, bool last) {
    if (segment.empty()) {
        return "it holds an empty folder name (two backslashes together, or one at an end)";
    }
    if (segment.size() <= 2 && segment.find_first_not_of(CharT('.')) == segment.npos) {
        return "it holds the folder name . or .., which points elsewhere";
    }
    if (std::string reason = ForbiddenCharacterIn(segment); !reason.empty()) {
        return reason;
    }
    if (segment.size() > kMaxFolderNameLength) {
        return "a folder name in it is longer than 255 characters, the most Windows allows";
    }
    if (last && segment.size() > kMaxLastFolderNameLength) {
        return "its last folder name is longer than " + std::to_string(kMaxLastFolderNameLength) +
               " characters, the most that leaves room for the library's working items";
    }
    if (IsDeviceName(segment)) {
        return std::string("it holds a device name that Windows reserves (") + kDeviceNames + ")";
    }
    if (EndsInDotOrSpace(segment)) {
        return "a folder name in it ends in a dot or a space, which Windows drops";
    }
    if (EndsInAsciiNoCase(segment, kStagingSuffix) || EndsInAsciiNoCase(segment, kLockSuffix)) {
        return std::string("a folder name in it ends in ") + kStagingSuffix + " or " + kLockSuffix +
               ", which the library reserves for its own working folders";
    }
    return {};
}

template <class CharT>
std::string NameProblem(std::basic_string_view<CharT> name) {
    if (name.empty()) {
        return "it is empty";
    }
    if (name.size() >= 2 && IsSlash(name[0]) && IsSlash(name[1])) {
        return "it is a network path";
    }
    if (IsSlash(name[0])) {
        return "it starts at the root of a drive";
    }
    if (name.size() >= 2 && name[1] == CharT(':') && Code(AsciiUpper(name[0])) >= 'A' &&
        Code(AsciiUpper(name[0])) <= 'Z') {
        return "it names a drive";
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = name.find(CharT('\\'), start);
        std::string problem = SegmentProblem(name.substr(start, end - start), end == name.npos);
        if (!problem.empty() || end == std::basic_string_view<CharT>::npos) {
            return problem;
        }
        start = end + 1;
    }
}

}  // namespace

template <class CharT>
Verdict CheckAssetName(std::basic_string_view<CharT> name) {
    std::string problem = NameProblem(name);
    return Verdict(std::move(problem));
}

template Verdict CheckAssetName<char>(std::string_view);
template Verdict CheckAssetName<wchar_t>(std::wstring_view);

template <class CharT>
Verdict CheckSourceEntryName(std::basic_string_view<CharT> name) {
    std::string problem = ForbiddenCharacterIn(name);
    if (problem.empty() && name.size() > kMaxFolderNameLength) {
        problem = "it is longer than 255 characters, the most Windows allows";
    } else if (problem.empty() && IsDeviceName(name)) {
        problem = "it is a name that Windows reserves for a device";
    } else if (problem.empty() && !name.empty() && EndsInDotOrSpace(name)) {
        problem = "it ends in a dot or a space, which Windows drops";
    }
    return Verdict(std::move(problem));
}

template Verdict CheckSourceEntryName<char>(std::string_view);
template Verdict CheckSourceEntryName<wchar_t>(std::wstring_view);

}  // namespace names

#include "velcomp/AssetName.h"

#include <cstdio>
#include <string>
#include <type_traits>

namespace velcomp {
namespace {

template <class CharT>
unsigned long Code(CharT c) {
    return static_cast<std::make_unsigned_t<CharT>>(c);
}

template <class CharT>
bool IsSlash(CharT c) {
    return c == CharT('\\') || c == CharT('/');
}

template <class CharT>
CharT AsciiUpper(CharT c) {
    return (c >= CharT('a') && c <= CharT('z')) ? CharT(c - CharT('a') + CharT('A')) : c;
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

// CON, PRN, AUX, NUL, COM1-9 and LPT1-9 name devices, whatever follows the first dot.
template <class CharT>
bool IsDeviceName(std::basic_string_view<CharT> segment) {
    auto base = segment.substr(0, segment.find(CharT('.')));
    while (!base.empty() && base.back() == CharT(' ')) {
        base.remove_suffix(1);
    }
    std::string upper;
    for (const CharT c : base) {
        if (Code(c) > 0x7F) {
            return false;
        }
        upper += static_cast<char>(AsciiUpper(c));
    }
    if (upper == "CON" || upper == "PRN" || upper == "AUX" || upper == "NUL") {
        return true;
    }
    return upper.size() == 4 &&
           (upper.compare(0, 3, "COM") == 0 || upper.compare(0, 3, "LPT") == 0) &&
           upper[3] >= '1' && upper[3] <= '9';
}

template <class CharT>
std::string SegmentProblem(std::basic_string_view<CharT> segment) {
    if (segment.empty()) {
        return "it holds an empty folder name (two backslashes together, or one at an end)";
    }
    if (segment.size() <= 2 && segment.find_first_not_of(CharT('.')) == segment.npos) {
        return "it holds the folder name . or .., which points elsewhere";
    }
    for (const CharT c : segment) {
        std::string reason = ForbiddenCharacter(c);
        if (!reason.empty()) {
            return reason;
        }
    }
    if (IsDeviceName(segment)) {
        return "it holds a device name that Windows reserves (CON, PRN, AUX, NUL, COM1-9, LPT1-9)";
    }
    if (segment.back() == CharT('.') || segment.back() == CharT(' ')) {
        return "a folder name in it ends in a dot or a space, which Windows drops";
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
        std::string problem = SegmentProblem(name.substr(start, end - start));
        if (!problem.empty() || end == std::basic_string_view<CharT>::npos) {
            return problem;
        }
        start = end + 1;
    }
}

}  // namespace

template <class CharT>
Result CheckAssetName(std::basic_string_view<CharT> name) {
    std::string problem = NameProblem(name);
    return problem.empty() ? Result::Success() : Result::Failure(std::move(problem));
}

template Result CheckAssetName<char>(std::string_view);
template Result CheckAssetName<wchar_t>(std::wstring_view);

}  // namespace velcomp

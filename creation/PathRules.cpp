#include "creation/PathRules.h"

namespace kitwright {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// Windows drops trailing dots and spaces, so "..", ". " and "   " all leave the folder.
bool IsDotsAndSpaces(std::string_view segment) {
    return !segment.empty() && segment.find_first_not_of(". ") == std::string_view::npos;
}

}  // namespace

bool StaysInsideFolder(std::string_view name) {
    if (name.empty() || IsSeparator(name.front())) {
        return false;  // empty, rooted ("\x") or network ("\\server")
    }
    if (name.size() >= 2 && name[1] == ':') {
        return false;  // a drive, "C:" or "C:\x"
    }
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = start;
        while (end < name.size() && !IsSeparator(name[end])) {
            ++end;
        }
        const std::string_view segment = name.substr(start, end - start);
        if (IsDotsAndSpaces(segment)) {
            return false;
        }
        start = end + 1;
    }
    return true;
}

}  // namespace kitwright

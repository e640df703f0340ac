#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "velcomp/platform/Platform.h"

namespace velcomp {

std::filesystem::path::string_type NativeText(std::string_view text) {
    return std::string(text);
}

std::filesystem::path PathFromText(std::string_view text) {
    std::string generic(text);
    std::replace(generic.begin(), generic.end(), '\\', '/');
    return generic;
}

std::string TextFromPath(const std::filesystem::path& path) {
    return path.native();
}

std::error_code MoveWithoutReplacing(const std::filesystem::path& from,
                                     const std::filesystem::path& to) {
    // A hard link is made only where no entry exists, so it cannot replace one.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return std::error_code(errno, std::generic_category());
    }
    ::unlink(from.c_str());
    return {};
}

}  // namespace velcomp

#include <windows.h>

#include "velcomp/platform/Platform.h"

namespace velcomp {

std::filesystem::path::string_type NativeText(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
    return wide;
}

std::filesystem::path PathFromText(std::string_view text) {
    return NativeText(text);
}

std::string TextFromPath(const std::filesystem::path& path) {
    const std::wstring& wide = path.native();
    if (wide.empty()) {
        return {};
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, text.data(), length, nullptr, nullptr);
    return text;
}

std::error_code MoveWithoutReplacing(const std::filesystem::path& from,
                                     const std::filesystem::path& to) {
    // Without MOVEFILE_REPLACE_EXISTING the move fails when `to` exists.
    if (!MoveFileExW(from.c_str(), to.c_str(), 0)) {
        return std::error_code(static_cast<int>(GetLastError()), std::system_category());
    }
    return {};
}

}  // namespace velcomp

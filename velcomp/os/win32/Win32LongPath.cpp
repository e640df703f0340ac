#include "velcomp/os/win32/Win32Files.h"

#include <algorithm>
#include <vector>

namespace velcomp::win32 {
namespace {

bool IsDriveAbsolute(const std::wstring& text) {
    return text.size() >= 3 && text[1] == L':' && text[2] == L'\\';
}

bool IsNetworkPath(const std::wstring& text) {
    return text.size() > 2 && text[0] == L'\\' && text[1] == L'\\' && text[2] != L'?' &&
           text[2] != L'.';
}

// Whether the system reads the path otherwise than its letters say: . or .. parts, or
// doubled separators. A part ending in a dot or a space is kept as it is: such names come
// only from listings, where they are what the disk holds.
bool NeedsNormalizing(const std::wstring& text, std::size_t start) {
    for (std::size_t end; start <= text.size(); start = end + 1) {
        end = std::min(text.find(L'\\', start), text.size());
        const std::wstring part = text.substr(start, end - start);
        if (part.empty()) {
            return end != text.size();  // a doubled separator, not the one at the end
        }
        if (part == L"." || part == L"..") {
            return true;
        }
    }
    return false;
}

std::wstring FullPath(const std::wstring& text) {
    const DWORD size = GetFullPathNameW(text.c_str(), 0, nullptr, nullptr);
    if (size == 0) {
        return text;
    }
    std::vector<wchar_t> full(size);
    const DWORD length = GetFullPathNameW(text.c_str(), size, full.data(), nullptr);
    return length > 0 && length < size ? std::wstring(full.data(), length) : text;
}

}  // namespace

std::wstring LongPath(const std::filesystem::path& path) {
    std::wstring text = path.native();
    std::replace(text.begin(), text.end(), L'/', L'\\');
    if (text.rfind(L"\\\\?\\", 0) == 0) {
        return text;
    }
    const bool network = IsNetworkPath(text);
    if (!(network || IsDriveAbsolute(text)) || NeedsNormalizing(text, network ? 2 : 3)) {
        text = FullPath(text);
    }
    if (text.size() > 3 && text.back() == L'\\') {
        text.pop_back();  // a folder's own name, not an empty one inside it
    }
    return IsNetworkPath(text) ? L"\\\\?\\UNC\\" + text.substr(2) : L"\\\\?\\" + text;
}

}  // namespace velcomp::win32

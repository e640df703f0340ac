// The asset-name rules against Windows' naming rules, stated here a second time, plainly and
// without the library's code. Every input is judged three ways: as code page 1252 bytes, as
// the same text in UTF-16, and (for an even length) as UTF-16 units of its own.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "names/AssetName.h"

namespace {

using Text = std::vector<std::uint32_t>;  // character codes: bytes or UTF-16 units

Text Codes(std::string_view ascii) {
    return Text(ascii.begin(), ascii.end());
}

std::uint32_t Upper(std::uint32_t c) {
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

bool SameIgnoringAsciiCase(const Text& a, const Text& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Upper(a[i]) != Upper(b[i])) {
            return false;
        }
    }
    return true;
}

// CON, PRN, AUX, NUL, CONIN$, CONOUT$, and COM and LPT with 0-9 or a superscript 1, 2, 3.
std::vector<Text> ReservedDeviceNames() {
    std::vector<Text> names;
    for (const char* name : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
        names.push_back(Codes(name));
    }
    for (const char* port : {"COM", "LPT"}) {
        for (const std::uint32_t last : {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'}) {
            names.push_back(Codes(port));
            names.back().push_back(last);
        }
        for (const std::uint32_t superscript : {0xB9u, 0xB2u, 0xB3u}) {
            names.push_back(Codes(port));
            names.back().push_back(superscript);
        }
    }
    return names;
}

// A device name stays a device name whatever extension follows it, and spaces before the
// extension do not count.
bool IsDevice(const Text& segment) {
    static const std::vector<Text> reserved = ReservedDeviceNames();
    Text stem;
    for (const std::uint32_t c : segment) {
        if (c == '.') {
            break;
        }
        stem.push_back(c);
    }
    while (!stem.empty() && stem.back() == ' ') {
        stem.pop_back();
    }
    for (const Text& name : reserved) {
        if (SameIgnoringAsciiCase(stem, name)) {
            return true;
        }
    }
    return false;
}

bool EndsInIgnoringAsciiCase(const Text& segment, std::string_view ending) {
    if (segment.size() < ending.size()) {
        return false;
    }
    const Text tail(segment.end() - static_cast<std::ptrdiff_t>(ending.size()), segment.end());
    return SameIgnoringAsciiCase(tail, Codes(ending));
}

// The last folder name leaves room for the library's working items named after it:
// "<name>.3.velcomp-staging" within Windows' 255 characters.
bool SegmentAllowed(const Text& segment, bool last) {
    if (last && segment.size() > 255 - 18) {
        return false;
    }
    if (segment.empty()) {
        return false;  // two separators together, or one at an end
    }
    if (segment == Codes(".") || segment == Codes("..")) {
        return false;
    }
    if (segment.size() > 255) {
        return false;
    }
    for (const std::uint32_t c : segment) {
        if (c < 0x20) {
            return false;  // control characters
        }
        for (const char forbidden : std::string_view("<>:\"/|?*")) {
            if (c == static_cast<std::uint32_t>(forbidden)) {
                return false;
            }
        }
    }
    if (segment.back() == '.' || segment.back() == ' ') {
        return false;
    }
    if (IsDevice(segment)) {
        return false;
    }
    return !EndsInIgnoringAsciiCase(segment, ".velcomp-staging") &&
           !EndsInIgnoringAsciiCase(segment, ".velcomp-lock");
}

bool WindowsAllows(const Text& name) {
    if (name.empty()) {
        return false;
    }
    if (name[0] == '\\' || name[0] == '/') {
        return false;  // the root of a drive, or a network path
    }
    if (name.size() >= 2 && name[1] == ':') {
        return false;  // a drive
    }
    std::vector<Text> segments(1);
    for (const std::uint32_t c : name) {
        if (c == '\\') {
            segments.emplace_back();
        } else {
            segments.back().push_back(c);
        }
    }
    for (std::size_t i = 0; i < segments.size(); ++i) {
        if (!SegmentAllowed(segments[i], i + 1 == segments.size())) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const names::Verdict narrow = names::CheckAssetName(bytes);
    fuzz::Check(narrow.ok() == WindowsAllows(Text(data, data + size)),
                "the 8-bit rules agree with Windows' rules", bytes);

    std::wstring widened;
    for (std::size_t i = 0; i < size; ++i) {
        widened += static_cast<wchar_t>(data[i]);
    }
    const names::Verdict wide = names::CheckAssetName(std::wstring_view(widened));
    fuzz::Check(wide.ok() == narrow.ok() && wide.message() == narrow.message(),
                "the wide form of the same text is judged as the 8-bit form", bytes);

    if (size % 2 == 0) {
        Text units;
        std::wstring utf16;
        for (std::size_t i = 0; i < size; i += 2) {
            const std::uint32_t unit = data[i] | static_cast<std::uint32_t>(data[i + 1]) << 8;
            units.push_back(unit);
            utf16 += static_cast<wchar_t>(unit);
        }
        fuzz::Check(names::CheckAssetName(std::wstring_view(utf16)).ok() == WindowsAllows(units),
                    "the UTF-16 rules agree with Windows' rules", bytes);
    }
    return 0;
}
